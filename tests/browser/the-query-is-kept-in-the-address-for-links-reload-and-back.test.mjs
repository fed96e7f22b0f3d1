// The query lives in the address (?q=): a search can be linked, reloaded,
// and gone through with Back and Forward.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { openSampleSite, searchFor, settled, shownResults } from './support/search-page.mjs';

const site = await openSampleSite();
after(() => site.close());

const state = async () => ({
  address: new URL(site.page.url()).searchParams.get('q'),
  box: await site.page.inputValue('#vk-q'),
  first: (await shownResults(site.page))[0]?.url ?? null,
});

test('searches, Back, Forward, reload and a linked query agree', async () => {
  const { page } = site;
  await page.goto(site.searchUrl);
  assert.deepEqual(await state(), { address: null, box: '', first: null });

  await searchFor(page, 'ginger tea');
  await searchFor(page, 'oat bars & apricots');
  assert.deepEqual(await state(), { address: 'oat bars & apricots', box: 'oat bars & apricots', first: 'recipes/oat-bars.html' });

  await page.goBack();
  await settled(page);
  assert.deepEqual(await state(), { address: 'ginger tea', box: 'ginger tea', first: 'recipes/drinks/ginger-tea.html' });

  await page.goBack();
  assert.deepEqual(await state(), { address: null, box: '', first: null });

  await page.goForward();
  await settled(page);
  assert.deepEqual(await state(), { address: 'ginger tea', box: 'ginger tea', first: 'recipes/drinks/ginger-tea.html' });

  await page.reload();
  await settled(page);
  assert.deepEqual(await state(), { address: 'ginger tea', box: 'ginger tea', first: 'recipes/drinks/ginger-tea.html' });

  await page.goto(`${site.searchUrl}?q=${encodeURIComponent('Falcon crag')}`);
  await settled(page);
  assert.deepEqual(await state(), { address: 'Falcon crag', box: 'Falcon crag', first: 'trails/north/falcon-crag.html' });
  assert.equal(await page.title(), 'Falcon crag - Search this site');
  assert.deepEqual(site.errors, []);
});

test('searching the same words again adds no history entry', async () => {
  const { page } = site;
  const before = await page.evaluate(() => history.length);
  await searchFor(page, 'Falcon crag');
  assert.equal(await page.evaluate(() => history.length), before);
});
