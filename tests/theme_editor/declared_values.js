// For each case of the JSON file named on the command line ({script, lines, names}), runs
// the settings script and the declaration lines each in a fresh context, as a theme's page
// would, and prints for every name the text of its value in both: [script, lines].
'use strict';
const fs = require('fs');
const vm = require('vm');

function run(code) {
  const context = {};
  vm.runInNewContext(code, context);
  return context;
}

const cases = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
const results = cases.map((c) => {
  let declared;
  let received;
  try {
    declared = run(c.script);
  } catch (e) {
    return { error: 'script: ' + e.message };
  }
  try {
    received = run(c.lines.join('\n'));
  } catch (e) {
    return { error: 'lines: ' + e.message };
  }
  const values = {};
  for (const name of c.names) values[name] = [String(declared[name]), String(received[name])];
  return values;
});
process.stdout.write(JSON.stringify(results));
