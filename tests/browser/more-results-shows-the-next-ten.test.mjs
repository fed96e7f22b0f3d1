// Results come ten at a time; "More results" adds the next ten and moves
// the keyboard focus to the first of them.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { openSampleSite, searchFor, shownResults } from './support/search-page.mjs';

const site = await openSampleSite();
after(() => site.close());

test('a query with many hits is shown in pages of ten', async () => {
  await site.page.goto(site.searchUrl);
  const status = await searchFor(site.page, 'walk');
  const total = Number(status.match(/^(\d+) results/)[1]);
  assert.ok(total > 20, status);
  assert.match(status, /Showing 1 to 10\.$/);

  const more = site.page.getByRole('button', { name: 'More results' });
  let shown = (await shownResults(site.page)).length;
  assert.equal(shown, 10);
  while (await more.isVisible()) {
    await more.click();
    const now = await shownResults(site.page);
    assert.equal(now.length, Math.min(shown + 10, total));
    const focused = await site.page.evaluate(() => document.activeElement.textContent);
    assert.equal(focused, now[shown].title, 'focus moves to the first new result');
    shown = now.length;
  }
  assert.equal(shown, total);
  assert.equal(await site.page.textContent('#vk-status'), `${total} results for \u201Cwalk\u201D.`);
  assert.deepEqual(site.errors, []);
});
