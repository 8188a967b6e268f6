// The rule editor in Chromium: a mistake shown where it is, mended, the statement in each dialect as the
// command line's `sql` gives it, the rows of `run`, and a definition saved and opened again. Screenshots of
// these states go to <build>/web-tests/screenshots.
'use strict';

const assert = require('node:assert/strict');
const {execFileSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const testsDir = process.env.TALVANE_WEB_TESTS_DIR;
const {chromium} = require(path.join(testsDir, 'node_modules', 'playwright-core'));
const url = fs.readFileSync(path.join(testsDir, 'server', 'url'), 'utf8').trim();
const screenshots = path.join(testsDir, 'screenshots');
const connection = `Data Source=${process.env.TALVANE_SAMPLE_DB}`;
const largeOrders = path.join(process.env.TALVANE_EXAMPLES_DIR, 'reports', 'large_orders.json');

function talvane(...args) {
  return execFileSync(process.env.TALVANE_CLI_PROGRAM, args, {encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe']});
}

function statementOf(definitionFile, dialect) {
  return talvane('sql', definitionFile, '--connection', connection, '--dialect', dialect).replace(/\n$/, '');
}

async function expectText(locator, expected) {
  await locator.filter({hasText: expected}).first().waitFor({timeout: 10000});
}

async function typeMistakeAndMendIt(page, scratch) {
  await page.fill('#main-table', 'Orders');
  await page.fill('#main-field', 'OrderID');
  await page.locator('#fields .text').first().fill('Orders.OrderID');
  const formula = page.locator('#formulas .text').first();
  await formula.click();
  await page.keyboard.type('Orders.Amount >= 1_000');
  const failing = page.locator('#formulas .failing');
  await failing.waitFor({timeout: 10000});
  assert.equal(await failing.textContent(), '1_000');
  const echo = await page.locator('#formulas .echo').first().textContent();
  assert.equal(echo.indexOf('1_000'), 17);
  await expectText(page.locator('#formulas .error-message'), 'error 0x80040006');
  await page.screenshot({path: path.join(screenshots, 'mistake.png'), fullPage: true});

  await formula.fill('');
  await page.keyboard.type('Orders.Amount >= 1000');
  await expectText(page.locator('#statement'), '>= 1000');
  assert.equal(await page.locator('#formulas .failing').count(), 0);
  const file = path.join(scratch, 'typed.json');
  fs.writeFileSync(file, JSON.stringify({mainTable: 'Orders', mainField: 'OrderID',
    fields: [{field: 'Orders.OrderID'}], formulas: [{text: 'Orders.Amount >= 1000'}]}));
  assert.equal(await page.textContent('#statement'), statementOf(file, 'sqlserver'));
  await page.screenshot({path: path.join(screenshots, 'mended.png'), fullPage: true});
}

async function switchDialects(page) {
  for (const [label, dialect] of [['Access', 'access'], ['SQLite', 'sqlite'], ['SQL Server', 'sqlserver']]) {
    await page.getByLabel(label, {exact: true}).check();
    const expected = statementOf(largeOrders, dialect);
    await page.waitForFunction((text) => document.getElementById('statement').textContent === text, expected);
    if (dialect === 'access') await page.screenshot({path: path.join(screenshots, 'access.png'), fullPage: true});
  }
}

async function runAndCompareWithCommandLine(page) {
  await page.getByRole('button', {name: 'Run'}).press('Enter');
  const csv = talvane('run', largeOrders, '--connection', connection, '--format', 'csv');
  const lines = csv.trimEnd().split('\r\n');
  await expectText(page.locator('#row-count'), `${lines.length - 1} rows`);
  const table = await page.$$eval('#rows tr', (rows) =>
    rows.map((row) => [...row.children].map((cell) => (cell.classList.contains('null') ? '' : cell.textContent))));
  assert.deepEqual(table.map((cells) => cells.join(',')), lines);
  await page.screenshot({path: path.join(screenshots, 'rule-editor.png'), fullPage: true});
}

async function saveAndReopen(page, scratch) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
  const saved = path.join(scratch, 'saved.json');
  await download.saveAs(saved);
  assert.equal(download.suggestedFilename(), 'large_orders.json');
  assert.deepEqual(JSON.parse(fs.readFileSync(saved, 'utf8')), JSON.parse(fs.readFileSync(largeOrders, 'utf8')));

  await page.setInputFiles('#open-file', path.join(process.env.TALVANE_EXAMPLES_DIR, 'reports', 'busy_regions.json'));
  await page.waitForFunction(() => document.getElementById('main-table').value === 'Regions');
  await page.setInputFiles('#open-file', saved);
  await page.waitForFunction(() => document.getElementById('main-table').value === 'Orders');
  await page.waitForFunction((text) => document.getElementById('statement').textContent === text,
      statementOf(saved, 'sqlserver'));
}

async function insertColumnByKeyboard(page) {
  const formula = page.locator('#formulas .text').first();
  await formula.fill('');
  await formula.focus();
  await page.locator('#schema summary', {hasText: 'Customers'}).press('Enter');
  await page.getByRole('button', {name: /^Insert Customers\.Balance/}).press('Enter');
  assert.equal(await formula.inputValue(), 'Customers.Balance');
  assert.equal(await page.evaluate(() => document.activeElement.classList.contains('text')), true);
}

// The report panel's level and DISTINCT: a level-2 report opens at level 2, and each control changes the
// statement as the same setting in a definition file does.
async function levelAndDistinct(page, scratch) {
  const file = path.join(process.env.TALVANE_EXAMPLES_DIR, 'reports', 'regions_by_average_order.json');
  await page.setInputFiles('#open-file', file);
  await page.waitForFunction(() => document.getElementById('language-level').value === '2');
  await page.waitForFunction((text) => document.getElementById('statement').textContent === text,
      statementOf(file, 'sqlserver'));
  await page.check('#distinct');
  await page.selectOption('#language-level', '1');
  const changed = path.join(scratch, 'level_one_distinct.json');
  fs.writeFileSync(changed, JSON.stringify({...JSON.parse(fs.readFileSync(file, 'utf8')), languageLevel: 1,
    distinct: true}));
  await page.waitForFunction((text) => document.getElementById('statement').textContent === text,
      statementOf(changed, 'sqlserver'));
}

async function main() {
  fs.mkdirSync(screenshots, {recursive: true});
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'talvane-editor-'));
  const context = await chromium.launchPersistentContext(path.join(scratch, 'profile'), {
    executablePath: process.env.TALVANE_CHROMIUM,
    headless: true,
    acceptDownloads: true,
    viewport: {width: 1280, height: 900},
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  const problems = [];
  try {
    const page = context.pages()[0] || await context.newPage();
    page.on('console', (message) => message.type() === 'error' && problems.push(message.text()));
    page.on('pageerror', (error) => problems.push(error.message));
    await page.goto(url);
    await expectText(page.locator('#schema summary'), 'Orders');
    await typeMistakeAndMendIt(page, scratch);
    await page.setInputFiles('#open-file', largeOrders);
    await page.waitForFunction(() => document.getElementById('main-field').value === 'OrderID' &&
        document.querySelectorAll('#fields .row').length === 4);
    await switchDialects(page);
    await runAndCompareWithCommandLine(page);
    await saveAndReopen(page, scratch);
    await insertColumnByKeyboard(page);
    await levelAndDistinct(page, scratch);
    assert.deepEqual(problems, [], 'the page logged errors');
  } finally {
    await context.close();
    fs.rmSync(scratch, {recursive: true, force: true});
  }
  console.log('rule editor: all states as expected; screenshots in', screenshots);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
