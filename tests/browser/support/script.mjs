// Runs the search script outside the browser: from the template with the
// placeholders filled in here, or as a build wrote it together with the
// index it sits in. Only the script's pure functions work there.
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';
import { repoRoot } from './site.mjs';

/** The build's values of the placeholders, for the template's own tests. */
export function placeholderValues({ stems, stoplist, dir = 'search', path: indexPath = './' }) {
  return [['$indexdir$', dir], ['$indexjoinfunction$', 'fnIJ'], ['$indexfileprefix$', 'vkindex'],
    ['$indexstems$', stems], ['$indexstoplist$', stoplist], ['$indexhashcode$', '131'],
    ['$indexhashoverflow$', '1024*1024'], ['$indexhashmod$', '256'], ['$indexofflineprefix$', '../'],
    ['$indexpath$', indexPath]];
}

/** The template vkfunctions.js instantiated with `values`, run in a fresh context. */
export function loadTemplate(values) {
  let text = fs.readFileSync(path.join(repoRoot, 'templates', 'vkfunctions.js'), 'utf8');
  for (const [placeholder, value] of placeholderValues(values)) text = text.split(placeholder).join(value);
  return run([text]).VK;
}

/** The search script of a built output folder with its page list and every index file loaded. */
export function loadBuiltIndex(outputFolder) {
  const read = (name) => fs.readFileSync(path.join(outputFolder, name), 'utf8');
  const indexFiles = fs.readdirSync(outputFolder).filter((f) => /^vkindex[0-9a-f]+\.js$/.test(f));
  const context = run([read('vkfunctions.js'), read('sitemap.js'), ...indexFiles.map(read)]);
  return context.VK;
}

function run(scripts) {
  const context = vm.createContext({ TextEncoder, TextDecoder, URLSearchParams });
  for (const script of scripts) vm.runInContext(script, context);
  return context;
}
