// Opening the search page loads no index. The first search loads the page
// list and the index files of its words, side by side; later searches load
// only index files not loaded before.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { openSampleSite, searchFor } from './support/search-page.mjs';

const site = await openSampleSite();
after(() => site.close());

const loaded = [];
site.page.on('request', (r) => loaded.push(new URL(r.url()).pathname.replace('/search/', '')));
const taken = () => loaded.splice(0).sort();
const indexFile = (word) => site.page.evaluate((w) => `vkindex${VK.bucket(w).toString(16)}.js`, word);

test('files load when first needed, and once', async () => {
  await site.page.goto(site.searchUrl);
  assert.deepEqual(taken(), ['vkexample.html', 'vkfunctions.js']);

  await searchFor(site.page, 'river walk');
  assert.deepEqual(taken(), ['bullet.gif', await indexFile('river'), await indexFile('walk'), 'sitemap.js'].sort());

  await searchFor(site.page, 'WALKING rivers');
  assert.deepEqual(taken(), []);

  await searchFor(site.page, 'river kingfishers');
  assert.deepEqual(taken(), [await indexFile('kingfisher')]);
  assert.deepEqual(site.errors, []);
});
