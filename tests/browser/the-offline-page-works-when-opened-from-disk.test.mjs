// offlineexample.html names the index folder by its path on disk, so it
// works opened straight from the disk (file://), also from a copy placed
// elsewhere, with links that open the site's pages from the disk.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { buildIndex, launch, sampleSite, tempDir } from './support/site.mjs';
import { searchFor, settled, shownResults } from './support/search-page.mjs';

// A folder name with a blank and a "#" to show the path becomes a proper URL.
const built = buildIndex(sampleSite, { work: tempDir('vossik offline #1-') });
const browser = await launch();
const page = await browser.context.newPage();
const errors = [];
page.on('pageerror', (e) => errors.push(e.message));
const copyDir = tempDir('vossik-copy-');
after(async () => {
  await browser.close();
  for (const dir of [built.work, copyDir]) fs.rmSync(dir, { recursive: true, force: true });
});

test('searching and following a result from the disk', async () => {
  await page.goto(pathToFileURL(path.join(built.out, 'offlineexample.html')).href);
  await searchFor(page, 'compass bearing');
  const [first] = await shownResults(page);
  assert.equal(first.url, 'gear/navigation.html');
  assert.equal(first.href, pathToFileURL(path.join(built.site, 'gear', 'navigation.html')).href);
  await page.getByRole('link', { name: 'Map and compass navigation' }).click();
  await page.waitForURL(first.href);
  assert.equal(await page.textContent('h1'), 'Map and compass navigation');
  assert.deepEqual(errors, []);
});

test('a copy of the offline page elsewhere still finds the index', async () => {
  const copy = path.join(copyDir, 'search.html');
  fs.copyFileSync(path.join(built.out, 'offlineexample.html'), copy);
  await page.goto(`${pathToFileURL(copy).href}?q=${encodeURIComponent('pine lake')}`);
  await settled(page);
  const [first] = await shownResults(page);
  assert.equal(first.href, pathToFileURL(path.join(built.site, 'trails', 'north', 'pine-lake.html')).href);
  assert.deepEqual(errors, []);
});
