// Titles, URLs and summaries from the index and the visitor's words reach
// the page as text only. The sample site has a page whose title holds an
// <img> tag with an onerror handler that would set window.__pwned.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { openSampleSite, searchFor, shownResults } from './support/search-page.mjs';

const site = await openSampleSite();
after(() => site.close());

const TAG = '<img src=x onerror=window.__pwned=1>';

const pwned = async () => {
  await site.page.waitForTimeout(300);  // an injected image would have failed to load by now
  return site.page.evaluate(() => window.__pwned);
};

test('a page title holding markup is shown as text', async () => {
  await site.page.goto(site.searchUrl);
  await searchFor(site.page, 'markup route notes');
  const [first] = await shownResults(site.page);
  assert.equal(first.url, 'docs/reference/markup.html');
  assert.equal(first.title, `Markup in route notes ${TAG} tags`);
  assert.equal(await site.page.$$eval('#vk-results img:not([alt=""])', (imgs) => imgs.length), 0);
  assert.equal(await pwned(), undefined);
});

test('a query holding markup is shown as text', async () => {
  const status = await searchFor(site.page, `${TAG} notes`);
  assert.match(status, new RegExp(`for \u201C${TAG.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')} notes\u201D`));
  assert.equal(await site.page.inputValue('#vk-q'), `${TAG} notes`);
  const missing = (await shownResults(site.page)).map((r) => r.missing).filter(Boolean);
  assert.ok(missing.length > 0);
  assert.equal(await pwned(), undefined);

  await site.page.goto(`${site.searchUrl}?q=${encodeURIComponent(TAG)}`);
  await site.page.waitForSelector('#vk-results:not([aria-busy])', { state: 'attached' });
  assert.equal(await pwned(), undefined);
  assert.deepEqual(site.errors, []);
});
