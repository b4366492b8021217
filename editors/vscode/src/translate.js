'use strict';
// Keyword translation: every keyword of a range rewritten as its twin in the
// other language, by the lexer's own table (see tools/tables.js). Strings,
// comments and identifiers are left alone.
const { scan, data } = require('./words.js');

// The edits, as { start, end, newText } with UTF-16 offsets, for the keywords
// that overlap [start, end) of the text; `to` is 'english' or 'turkish'.
function translationEdits(text, start, end, to) {
  const twins = to === 'english' ? data.toEnglish : data.toTurkish;
  return scan(text)
    .filter((t) => t.kind === 'word' && t.start < end && t.end > start && Object.hasOwn(twins, t.text))
    .map((t) => ({ start: t.start, end: t.end, newText: twins[t.text] }));
}

module.exports = { translationEdits };
