// The words that matched are marked where they stand in each result's title
// and summary, in any case and any inflection that gives the same word, and
// in text with accented letters.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { openSampleSite, searchFor } from './support/search-page.mjs';

const site = await openSampleSite();
after(() => site.close());

const marks = (selector) => site.page.$$eval(selector, (items) => items.map((li) => ({
  title: [...li.querySelectorAll('h2 mark')].map((m) => m.textContent),
  summary: [...li.querySelectorAll('p mark')].map((m) => m.textContent),
})));

test('the words of the query are marked in the first result', async () => {
  await site.page.goto(site.searchUrl);
  await searchFor(site.page, 'LENTILS soup');
  const [first] = await marks('#vk-results > li');
  assert.deepEqual(first.title, ['lentil', 'soup']);
  assert.deepEqual(first.summary, ['lentil', 'soup', 'soup', 'lentils']);
});

test('accented words are found and marked', async () => {
  await searchFor(site.page, 'Café crème');
  const [first] = await marks('#vk-results > li');
  assert.equal(await site.page.textContent('#vk-results > li .vk-url'), 'news/2024/cafe-reopens.html');
  assert.deepEqual(first.title, ['Café']);
  assert.ok(first.summary.includes('café'), first.summary.join());
});

test('marking keeps every summary as the page list holds it', async () => {
  await searchFor(site.page, 'walk river');
  const shown = await site.page.$$eval('#vk-results > li', (items) => items.map((li) => [
    li.querySelector('.vk-url').textContent, li.querySelector('p').textContent]));
  const listed = await site.page.evaluate(() => Object.fromEntries(
    g_asPages.flatMap((item, i) => (i % 3 === 1 ? [[item, g_asPages[i + 1]]] : []))));
  assert.ok(shown.length >= 10);
  for (const [url, summary] of shown) assert.equal(summary, listed[url], url);
  assert.deepEqual(site.errors, []);
});
