// A query that matches no page says so, also when its only words were kept
// out of the index: a NOINDEX region, a folder robots.txt disallows, stop
// words and words too short to index.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { openSampleSite, searchFor, shownResults } from './support/search-page.mjs';

const site = await openSampleSite();
after(() => site.close());

test('no page found', async () => {
  await site.page.goto(site.searchUrl);
  const cases = ['xylophone', 'zanzibar', 'quartermaster', 'the of a', '7 x'];
  for (const query of cases) {
    const status = await searchFor(site.page, query);
    assert.equal(status, `No pages found for \u201C${query}\u201D. Try other or fewer words.`);
    assert.deepEqual(await shownResults(site.page), [], query);
    assert.equal(await site.page.isVisible('#vk-more'), false);
  }
  assert.deepEqual(site.errors, []);
});

test('an empty query clears the results and finds nothing', async () => {
  await searchFor(site.page, 'boots');
  assert.ok((await shownResults(site.page)).length > 0);
  await site.page.getByLabel('Words to find').fill('   ');
  await site.page.getByLabel('Words to find').press('Enter');
  assert.deepEqual(await shownResults(site.page), []);
  assert.equal(await site.page.textContent('#vk-status'), '');
});
