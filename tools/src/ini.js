'use strict';
// Writer for private-profile ("INI") text: sections of key=value lines, CRLF
// line ends, UTF-8 without a byte-order mark, a blank line between sections.

const kLineEnd = '\r\n';

// `sections` is [[name, [[key, value], ...]], ...].
function formatIni(sections) {
  const blocks = sections.map(([name, entries]) => {
    const lines = [`[${name}]`];
    for (const [key, value] of entries) {
      const text = String(value);
      if (/[\r\n]/.test(text)) throw new Error(`${name}/${key}: a value cannot hold a line break`);
      lines.push(`${key}=${text}`);
    }
    return lines.join(kLineEnd) + kLineEnd;
  });
  return Buffer.from(blocks.join(kLineEnd), 'utf8');
}

module.exports = { formatIni };
