// The search page and `vossik -search` rank by one rule: the same pages in
// the same order, pages holding every query word first.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { terminalSearch, artifactPath } from './support/site.mjs';
import { openSampleSite, searchFor, shownResults, showAll } from './support/search-page.mjs';

const site = await openSampleSite();
after(() => site.close());

test('each query shows the terminal search\'s pages in its order, full matches first', async () => {
  await site.page.goto(site.searchUrl);
  const queries = ['river walk', 'hot chocolate flask', 'snowshoe pancakes', 'GPS tracks', 'Lentil',
    'offline maps phone signal', 'bridge', 'café'];
  for (const query of queries) {
    const status = await searchFor(site.page, query);
    const shown = await showAll(site.page);
    const terminal = terminalSearch(site.built, query);
    assert.ok(terminal.length > 0, `the terminal finds "${query}"`);
    assert.deepEqual(shown.slice(0, terminal.length).map((r) => r.url), terminal, query);
    assert.match(status, new RegExp(`^${shown.length} results? for`), query);

    // Once a page misses a word, every later one does too.
    const firstPartial = shown.findIndex((r) => r.missing !== null);
    if (firstPartial >= 0) assert.ok(shown.slice(firstPartial).every((r) => r.missing !== null), query);
  }
});

test('a title that names the query comes first', async () => {
  await searchFor(site.page, 'lentil soup');
  const [first] = await shownResults(site.page);
  assert.equal(first.url, 'recipes/lentil-soup.html');
  assert.equal(first.title, 'Red lentil soup');
  await site.page.screenshot({ path: artifactPath('search-results.png') });
});

test('pages with only some words say which are missing', async () => {
  const status = await searchFor(site.page, 'snowshoes pancakes');
  assert.match(status, /, 0 with every word/);
  const shown = await shownResults(site.page);
  const snowshoe = shown.find((r) => r.url === 'trails/winter/snowshoe-basics.html');
  assert.equal(snowshoe.missing, 'Missing: pancakes');
  assert.deepEqual(site.errors, []);
});
