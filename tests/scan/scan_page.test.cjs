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
const connection = `Data Source=${process.env.TALVANE_SAMPLE_DB}`;
const reports = path.join(process.env.TALVANE_EXAMPLES_DIR, 'reports');

// Runs a scan; its exit code is 2 because of mistakes.json.
function scan(...args) {
  try {
    return execFileSync(process.env.TALVANE_CLI_PROGRAM, ['scan', reports, '--connection', connection, ...args],
      {encoding: 'utf8'});
  } catch (e) {
    assert.equal(e.status, 2);
    return e.stdout;
  }
}

async function main() {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'talvane-scan-page-'));
  const history = path.join(scratch, 'history.db');
  const page = path.join(scratch, 'scan.html');
  scan('--history', history);
  scan('--history', history, '--format', 'html', '--output', page);
  const results = JSON.parse(scan('--format', 'json')).reports;

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
