// The HTML page of `talvane scan` in Chromium: it loads nothing from elsewhere, its bar chart is visible with
// one bar per report, long bars for more exceptions, and with a history each report that ran has a trend line.
// A screenshot goes to $TALVANE_SCAN_SCREENSHOT.
'use strict';

const assert = require('node:assert/strict');
const {execFileSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const {chromium} = require(path.join(process.env.TALVANE_WEB_TESTS_DIR, 'node_modules', 'playwright-core'));
const sourceDir = path.dirname(process.env.TALVANE_EXAMPLES_DIR);

// Runs a scan of the example reports, named as a user in the source tree names them; its exit code is 2
// because of mistakes.json.
function scan(database, ...args) {
  try {
    return execFileSync(process.env.TALVANE_CLI_PROGRAM,
      ['scan', 'examples/reports', '--connection', `Data Source=${database}`, ...args],
      {encoding: 'utf8', cwd: sourceDir});
  } catch (e) {
    assert.equal(e.status, 2);
    return e.stdout;
  }
}

// Three scans of a copy of the sample database, its orders changing between them, so that trends move.
function scanWithHistory(scratch) {
  const database = path.join(scratch, 'sample.db');
  const history = path.join(scratch, 'history.db');
  fs.copyFileSync(process.env.TALVANE_SAMPLE_DB, database);
  const page = path.join(scratch, 'scan.html');
  scan(database, '--history', history);
  execFileSync('sqlite3', [database, 'UPDATE Orders SET Amount = Amount * 2 WHERE OrderID % 4 = 0;']);
  scan(database, '--history', history);
  execFileSync('sqlite3', [database, 'UPDATE Orders SET Amount = 0 WHERE OrderID % 3 = 0;']);
  scan(database, '--history', history, '--format', 'html', '--output', page);
  return {page, results: JSON.parse(scan(database, '--format', 'json')).reports};
}

async function main() {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'talvane-scan-page-'));
  const {page, results} = scanWithHistory(scratch);

  const browser = await chromium.launch({executablePath: process.env.TALVANE_CHROMIUM});
  try {
    const tab = await browser.newPage({viewport: {width: 1000, height: 800}});
    const requested = [];
    tab.on('request', (request) => requested.push(request.url()));
    await tab.goto('file://' + page);
    assert.deepEqual(requested, ['file://' + page], 'the page fetches nothing else');

    const chart = tab.locator('#chart');
    assert.ok(await chart.isVisible(), 'the chart is visible');
    const box = await chart.boundingBox();
    assert.ok(box.width > 300 && box.height > 20, `the chart has a size: ${JSON.stringify(box)}`);
    const widths = await tab.locator('#chart rect.bar').evaluateAll((bars) => bars.map((b) => b.getBBox().width));
    assert.equal(widths.length, results.length, 'one bar per report');
    for (let i = 0; i < results.length; ++i) {
      for (let j = 0; j < results.length; ++j) {
        if (results[i].rows > results[j].rows) assert.ok(widths[i] > widths[j], 'more rows, a longer bar');
      }
    }
    const ran = results.filter((r) => r.status !== 'error').length;
    assert.equal(await tab.locator('#reports svg.trend polyline').count(), ran, 'a trend line per report that ran');
    assert.equal(await tab.locator('section pre').count(), ran, 'the statement of each report that ran');
    await tab.screenshot({path: process.env.TALVANE_SCAN_SCREENSHOT, fullPage: false});
  } finally {
    await browser.close();
    fs.rmSync(scratch, {recursive: true, force: true});
  }
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
