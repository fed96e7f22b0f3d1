/* Vossik site search, run in the visitor's browser.
   The build filled in the words between dollar signs. With them this script
   cuts, stems and hashes the visitor's words exactly as the index was built,
   loads the page list and only the index files that hold those words, and
   ranks the pages as doc/search-ranking.md defines (the terminal search of
   the program ranks the same way). Nothing from the index or the query is
   ever put into the page as markup. */

var g_asIndex = Object.create(null), g_asPages;

/* The index files call this with a flat array: a string starts a word, the
   numbers after it are the pages that hold it. */
function $indexjoinfunction$(oIndex, a) {
  for (var i = 0, w; i < a.length; i++)
    if (typeof a[i] == 'string') oIndex[w = a[i]] = [];
    else oIndex[w].push(a[i]);
}

var VK = (function () {
  var PATH = "$indexpath$", DIR = "$indexdir$", UP = "$indexofflineprefix$",
      PREFIX = "$indexfileprefix$", STEMS = [$indexstems$], STOP = {},
      HASH = $indexhashcode$, WRAP = $indexhashoverflow$, BUCKETS = $indexhashmod$,
      MAXLEN = 32, MINLEN = 2, PER_PAGE = 10,
      SEP = new Uint8Array(256), enc = new TextEncoder(), pages, loads = {};

  [$indexstoplist$].forEach(function (w) { STOP[' ' + w] = 1; });
  '.?!"\'`$;:,(){}[]<>%^*+=@~#/|\\ \r\n\t'.split('').forEach(function (c) { SEP[c.charCodeAt(0)] = 1; });
  SEP[0xA3] = SEP[0x80] = SEP[0xAC] = 1;

  /* Tokens of UTF-8 bytes, as [start, end) pairs: the separators include
     bytes that occur inside multi-byte characters, so text is cut as bytes. */
  function tokens(b) {
    var t = [], s = -1;
    for (var i = 0; i <= b.length; i++)
      if (i == b.length || SEP[b[i]]) { if (s >= 0) t.push([s, i]); s = -1; }
      else if (s < 0) s = i;
    return t;
  }

  /* The index word of bytes b[s..e), or null where the build drops the token.
     The build's default minimum length and mixed-number rule apply: a word
     the build left out then simply finds nothing. */
  function word(b, s, e) {
    var w = '', digit = 0, letter = 0, c, i;
    if (e - s > MAXLEN) e = s + MAXLEN;
    if (e - s < MINLEN) return null;
    for (i = s; i < e; i++) {
      c = b[i] > 127 ? 65 + b[i] % 26 : b[i];
      w += String.fromCharCode(c);
      if (c > 47 && c < 58) digit = 1;
      else if ((c | 32) > 96 && (c | 32) < 123) letter = 1;
    }
    if (digit && !letter || STOP[' ' + lower(w)]) return null;
    for (i = 0; i < STEMS.length; i++)
      if (w.length >= STEMS[i].length && w.slice(w.length - STEMS[i].length) == STEMS[i]) {
        w = w.slice(0, w.length - STEMS[i].length);
        break;
      }
    return lower(w.replace(/-/g, '').replace(/_/g, ''));
  }

  function lower(w) { return w.replace(/[A-Z]+/g, function (u) { return u.toLowerCase(); }); }

  function bucket(w) {
    for (var h = 0, i = 0; i < w.length; i++) h = (w.charCodeAt(i) + HASH * h) % (WRAP);
    return (h + 1) % BUCKETS;
  }

  /* The words of a text in order, repeats kept. Like page text at build
     time, the text is lower-cased first: "DOGS" and "dogs" are one word. */
  function sequence(text) {
    var b = enc.encode(lower(text)), out = [];
    tokens(b).forEach(function (t) { var w = word(b, t[0], t[1]); if (w != null) out.push(w); });
    return out;
  }

  function setOf(list) {
    var set = Object.create(null);
    list.forEach(function (w) { set[w] = 1; });
    return set;
  }

  /* The query's words in the order typed, each once, with the text typed. */
  function parse(q) {
    var b = enc.encode(lower(q)), typed = enc.encode(q), out = [], seen = Object.create(null);
    tokens(b).forEach(function (t) {
      var w = word(b, t[0], t[1]);
      if (w != null && !seen[w]) {
        seen[w] = 1;
        out.push({ w: w, text: new TextDecoder().decode(typed.subarray(t[0], t[1])) });
      }
    });
    return out;
  }

  function pageCount() { return g_asPages ? g_asPages.length / 3 | 0 : 0; }

  /* What ranking needs of page p, from the page list: the words of its
     title (t, and in order: tw), of its URL (u), of its file name (f) and,
     once the page is a hit, of its summary in order (sw). The URL and file
     name lose their extension, which nearly every page shares; the URL's
     words are taken both as written and with "-" and "_" as blanks, since
     file names join words with them. */
  function fields(p) {
    var title = sequence(g_asPages[3 * p - 3]), url = g_asPages[3 * p - 2],
        name = url.slice(url.lastIndexOf('/') + 1), dot = name.lastIndexOf('.');
    if (dot >= 0) { url = url.slice(0, url.length - name.length + dot); name = name.slice(0, dot); }
    return { t: setOf(title), tw: title, u: setOf(sequence(url).concat(sequence(url.replace(/[-_]/g, ' ')))),
             f: sequence(name.replace(/[-_]/g, ' ')) };
  }

  function count(list, w) { for (var c = 0, i = 0; i < list.length; i++) if (list[i] == w) c++; return c; }

  function adjacent(list, a, b) {
    for (var i = 0; i + 1 < list.length; i++) if (list[i] == a && list[i + 1] == b) return true;
    return false;
  }

  /* Ranking, as doc/search-ranking.md defines it. A page matches a word
     when the word's index entry lists it or the word is in its title or
     URL; rarity = ln(1 + pages / pages matching the word). Each matched
     word adds rarity x (1 + 2 if in the title + 1.5 if in the URL + 0.5 per
     time in the summary, up to 3 + 1 if the file name holds query words
     only). Each two query words typed one after the other that stand one
     after the other in the title or the summary add both rarities. Order:
     more matched words first, then higher score, then lower page number. */
  function rank(words) {
    var n = pageCount(), hits = Object.create(null), query = setOf(words.map(function (q) { return q.w; })), out = [], p;
    if (!pages || pages.length != n + 1) for (pages = [null], p = 1; p <= n; p++) pages.push(fields(p));
    words.forEach(function (q) {
      var on = Object.create(null), list = [];
      (g_asIndex[q.w] || []).forEach(function (p) { if (p >= 1 && p <= n) on[p] = 1; });
      for (p = 1; p <= n; p++) if (pages[p].t[q.w] || pages[p].u[q.w]) on[p] = 1;
      for (p in on) list.push(+p);
      q.rarity = Math.log(1 + n / list.length);
      list.forEach(function (p) {
        var f = pages[p], h = hits[p] || (hits[p] = { page: p, matched: 0, score: 0, has: Object.create(null) });
        if (!f.sw) f.sw = sequence(g_asPages[3 * p - 1]);
        h.matched++;
        h.has[q.w] = 1;
        h.score += q.rarity * (1 + (f.t[q.w] ? 2 : 0) + (f.u[q.w] ? 1.5 : 0) + 0.5 * Math.min(3, count(f.sw, q.w)) +
                               (f.f.length && f.f.every(function (w) { return query[w]; }) ? 1 : 0));
      });
    });
    for (p in hits) {
      var h = hits[p], f = pages[p];
      for (var i = 0; i + 1 < words.length; i++) {
        var a = words[i], b = words[i + 1];
        if (h.has[a.w] && h.has[b.w] && (adjacent(f.tw, a.w, b.w) || adjacent(f.sw, a.w, b.w))) h.score += a.rarity + b.rarity;
      }
      out.push(h);
    }
    return out.sort(function (a, b) { return b.matched - a.matched || b.score - a.score || a.page - b.page; });
  }

  /* Loads a script once; a failed load is tried again by the next search. */
  function load(src) {
    return loads[src] || (loads[src] = new Promise(function (ok, fail) {
      var s = document.createElement('script');
      s.src = src;
      s.charset = 'utf-8';
      s.onload = ok;
      s.onerror = function () { delete loads[src]; s.remove(); fail(new Error(src)); };
      document.head.appendChild(s);
    }));
  }

  /* Resolves to { words, hits } once the page list and the index files of
     the query's words are loaded, all at once and each only once. */
  function search(q, base) {
    var words = parse(q), files = [base + 'sitemap.js'];
    if (!words.length) return Promise.resolve({ words: words, hits: [] });
    words.forEach(function (q) {
      var f = base + PREFIX + bucket(q.w).toString(16) + '.js';
      if (files.indexOf(f) < 0) files.push(f);
    });
    return Promise.all(files.map(load)).then(function () {
      if (!g_asPages) throw new Error('sitemap.js');
      return { words: words, hits: rank(words) };
    });
  }

  /* From the search page up to the site root: one step per folder of the
     target folder. */
  function rootFrom(base) {
    var depth = 0;
    DIR.split('/').forEach(function (s) { if (s == '..') depth = Math.max(0, depth - 1); else if (s && s != '.') depth++; });
    return base + Array(depth + 1).join(UP);
  }

  /* Appends text to a node as text, with the tokens whose word is in `set`
     inside <mark>. Tokens are cut as bytes; at[] maps a byte to the first
     UTF-16 unit of its character, to[] to the unit after it. */
  function marked(node, text, set) {
    var b = enc.encode(lower(text)), at = [], to = [], last = 0, i, c, n;
    for (i = 0; i < text.length; i = to[to.length - 1]) {
      c = text.codePointAt(i);
      for (n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; n--; ) { at.push(i); to.push(i + (c > 0xFFFF ? 2 : 1)); }
    }
    tokens(b).forEach(function (t) {
      var w = word(b, t[0], t[1]), s = Math.max(at[t[0]], last);
      if (w == null || !set[w] || s >= to[t[1] - 1]) return;
      node.append(text.slice(last, s), el('mark', text.slice(s, last = to[t[1] - 1])));
    });
    node.append(text.slice(last));
    return node;
  }

  /* A title or summary as a reader should see it: character references
     that pages carry into their text (&amp; &#8212; &#x2014; &nbsp; ...)
     become the characters. Only for showing; ranking reads the stored text. */
  var NAMED = { amp: '&', lt: '<', gt: '>', quot: '"', apos: "'", nbsp: '\u00A0' };
  function readable(text) {
    return text.replace(/&(#[xX][0-9a-fA-F]{1,7}|#[0-9]{1,7}|amp|lt|gt|quot|apos|nbsp);/g, function (all, n) {
      if (n[0] != '#') return NAMED[n];
      var c = n[1] == 'x' || n[1] == 'X' ? parseInt(n.slice(2), 16) : parseInt(n.slice(1), 10);
      return c > 0 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF) ? String.fromCodePoint(c) : '\uFFFD';
    });
  }

  function el(tag, text, cls) {
    var e = document.createElement(tag);
    if (text != null) e.textContent = text;
    if (cls) e.className = cls;
    return e;
  }

  /* Wires the sample search page. `base` is the URL of the output folder. */
  function page(base) {
    base = base || PATH;
    var d = document, form = d.getElementById('vk-form'), box = d.getElementById('vk-q'),
        status = d.getElementById('vk-status'), list = d.getElementById('vk-results'),
        more = d.getElementById('vk-more'), root = rootFrom(base), title = d.title, seq = 0, shown = 0, found;

    function query() { return new URLSearchParams(location.search).get('q') || ''; }

    function item(h) {
      var i = 3 * h.page - 3, url = g_asPages[i + 1], li = el('li'), a = el('a'),
          missing = found.words.filter(function (q) { return !h.has[q.w]; }), set = found.set;
      a.href = root + url.split('/').map(encodeURIComponent).join('/');
      li.append(el('h2'), marked(el('div', null, 'vk-url'), url, set), marked(el('p'), readable(g_asPages[i + 2]), set));
      li.firstChild.append(Object.assign(el('img'), { src: base + 'bullet.gif', alt: '' }), marked(a, readable(g_asPages[i]) || url, set));
      if (missing.length)
        li.append(el('p', 'Missing: ' + missing.map(function (q) { return q.text; }).join(', '), 'vk-missing'));
      return li;
    }

    function showMore() {
      var first, end = Math.min(shown + PER_PAGE, found.hits.length), all = found.hits.filter(function (h) { return h.matched == found.words.length; }).length;
      for (; shown < end; shown++) {
        list.append(item(found.hits[shown]));
        first = first || list.lastChild;
      }
      more.hidden = shown >= found.hits.length;
      status.textContent = found.hits.length + (found.hits.length == 1 ? ' result' : ' results') + ' for \u201C' + found.q + '\u201D' +
        (all < found.hits.length ? ', ' + all + ' with every word' : '') +
        (found.hits.length > shown ? '. Showing 1 to ' + shown + '.' : '.');
      return first;
    }

    function run(q, push) {
      var ticket = ++seq;
      box.value = q;
      if (push && q != query()) try { history.pushState(null, '', '?q=' + encodeURIComponent(q)); } catch (e) { /* file:// may refuse */ }
      list.textContent = '';
      list.removeAttribute('aria-busy');
      more.hidden = true;
      d.title = (q.trim() ? q + ' - ' : '') + title;
      if (!q.trim()) { status.textContent = ''; return; }
      status.textContent = 'Searching\u2026';
      list.setAttribute('aria-busy', 'true');
      search(q, base).then(function (r) {
        if (ticket != seq) return;
        list.removeAttribute('aria-busy');
        found = r;
        r.q = q;
        r.set = Object.create(null);
        r.words.forEach(function (w) { r.set[w.w] = 1; });
        shown = 0;
        if (r.hits.length) showMore();
        else status.textContent = 'No pages found for \u201C' + q + '\u201D. Try other or fewer words.';
      }, function () {
        if (ticket != seq) return;
        list.removeAttribute('aria-busy');
        status.textContent = 'The search index could not be loaded.';
      });
    }

    form.addEventListener('submit', function (e) { e.preventDefault(); run(box.value, true); });
    more.addEventListener('click', function () { var f = showMore(); if (f) f.querySelector('a').focus(); });
    addEventListener('popstate', function () { run(query(), false); });
    if (query()) run(query(), false);
  }

  return { tokens: tokens, word: word, bucket: bucket, parse: parse, rank: rank, search: search, page: page, readable: readable };
})();

if (typeof module != 'undefined' && module.exports) module.exports = VK;
