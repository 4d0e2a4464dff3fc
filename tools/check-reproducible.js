'use strict';
// Generates every asset twice into fresh temporary folders and compares the
// bytes of the two runs with each other and with the committed files in
// ../assets. Exits non-zero on any difference.

const fs = require('fs');
const os = require('os');
const path = require('path');
const { generateAll, kGeneratedFiles } = require('./generate');

const committed = path.join(__dirname, '..', 'assets');
const runs = [1, 2].map((run) => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), `zandreth-assets-${run}-`));
  generateAll(folder);
  return folder;
});

let differences = 0;
for (const name of kGeneratedFiles) {
  const [first, second] = runs.map((folder) => fs.readFileSync(path.join(folder, name)));
  const inAssets = fs.existsSync(path.join(committed, name)) ? fs.readFileSync(path.join(committed, name)) : null;
  const sameRuns = first.equals(second);
  const sameAsCommitted = inAssets !== null && first.equals(inAssets);
  if (!sameRuns || !sameAsCommitted) differences++;
  console.log(`${name}: ${first.length} bytes, runs ${sameRuns ? 'identical' : 'DIFFER'}, ` +
              `${sameAsCommitted ? 'same as' : 'DIFFERENT FROM'} assets/${name}`);
}
for (const folder of runs) fs.rmSync(folder, { recursive: true, force: true });
if (differences) {
  console.error(`${differences} file(s) differ`);
  process.exit(1);
}
console.log('all generated files are reproducible and match assets/');
