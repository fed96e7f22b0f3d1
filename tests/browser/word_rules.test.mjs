// The search script must cut, normalise and hash every word exactly as the
// build does, or a visitor's word looks in the wrong index file. The build's
// answers come from the `wordvectors` program, built from the same code.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { buildDir } from './support/site.mjs';
import { loadTemplate } from './support/script.mjs';

const vectors = JSON.parse(execFileSync(path.join(buildDir(), 'wordvectors'), { encoding: 'utf8' }));
const VK = loadTemplate({ stems: vectors.stems, stoplist: vectors.stoplist });
// Values made in the script's own context compare by content only.
const plain = (value) => JSON.parse(JSON.stringify(value));

test('every token gets the word and bucket the build gives it', () => {
  assert.ok(vectors.tokens.length >= 300, 'the vectors cover hundreds of tokens');
  const wrong = [];
  for (const v of vectors.tokens) {
    const bytes = Buffer.from(v.hex, 'hex');
    const word = VK.word(bytes, 0, bytes.length);
    const bucket = word == null ? -1 : VK.bucket(word);
    if (word !== v.word || bucket !== v.bucket) wrong.push({ hex: v.hex, build: [v.word, v.bucket], script: [word, bucket] });
  }
  assert.deepEqual(wrong, []);
});

test('a query is cut into the words the build takes from page text, in order, once each', () => {
  for (const v of vectors.texts) {
    const words = plain(VK.parse(v.text).map((q) => [q.w, VK.bucket(q.w)]));
    assert.deepEqual(words, v.words, JSON.stringify(v.text));
  }
});

test('titles and summaries show character references as the terminal search does', () => {
  for (const v of vectors.shown) assert.equal(VK.readable(v.text), v.shown, JSON.stringify(v.text));
});

test('the text the visitor typed is kept for each word', () => {
  assert.deepEqual(plain(VK.parse('Running DOGS, running!').map((q) => [q.w, q.text])), [['runn', 'Running'], ['dog', 'DOGS']]);
});

test('without stop words every word counts', () => {
  const noStops = loadTemplate({ stems: vectors.stems, stoplist: '' });
  assert.deepEqual(plain(noStops.parse('The end').map((q) => q.w)), ['th', 'end']);
});
