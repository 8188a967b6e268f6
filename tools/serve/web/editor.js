// The rule editor: keeps the definition in the form, checks it on the server as it is typed, shows the
// failures where they are, the statement in the chosen dialect, and the rows of a run.
'use strict';

const CHECK_DELAY_MS = 300;
const RUN_LIMIT = 1000;

const $ = (id) => document.getElementById(id);
let lastTarget = null; // the formula or field input that had the focus last
let checkSerial = 0;
let checkTimer = null;
let fileName = 'report.json';

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

async function callApi(path, body) {
  const options = body === undefined ? {} : {
    method: 'POST', headers: {'Content-Type': 'application/json'}, body: JSON.stringify(body),
  };
  const response = await fetch(path, options);
  const answer = await response.json();
  if (!response.ok) throw new Error(answer.error || response.statusText);
  return answer;
}

// Positions from the server count UTF-8 bytes; the page's strings count UTF-16 units.
function indexOfByte(text, byteOffset) {
  let bytes = 0;
  let i = 0;
  while (i < text.length && bytes < byteOffset) {
    const code = text.codePointAt(i);
    bytes += code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    i += code > 0xffff ? 2 : 1;
  }
  return i;
}

// How a formula names a table or column: bare when it is a plain word, in brackets otherwise.
function formulaName(name) {
  return /^[A-Za-z_][A-Za-z0-9_]*$/.test(name) ? name : `[${name}]`;
}

// ---- The form and the definition -------------------------------------------------------------------------

function addRow(listId, templateId, values) {
  const row = $(templateId).content.firstElementChild.cloneNode(true);
  for (const [selector, value] of Object.entries(values)) {
    if (value !== undefined && value !== null) row.querySelector(selector).value = String(value);
  }
  row.querySelector('.remove').addEventListener('click', () => {
    const next = row.nextElementSibling || row.previousElementSibling;
    row.remove();
    (next ? next.querySelector('.text') : $(listId === 'formulas' ? 'add-formula' : 'add-field')).focus();
    scheduleCheck();
  });
  $(listId).append(row);
  return row;
}

function addFormula(formula = {}) {
  return addRow('formulas', 'formula-row',
      {'.text': formula.text, '.name': formula.name, '.grouping': (formula.grouping || 'and').toLowerCase()});
}

function addField(field = {}) {
  return addRow('fields', 'field-row', {'.text': field.field, '.name': field.name,
    '.aggregate': field.aggregate ? field.aggregate.toUpperCase() : '', '.order-pos': field.orderPos,
    '.direction': /^desc/i.test(field.direction || '') ? 'Descending' : ''});
}

function withOptional(object, key, value) {
  if (value !== '' && value !== undefined) object[key] = value;
  return object;
}

// The definition as a file keeps it, and the form row of each formula and field in it (blank rows are left
// out, so the places the server names are places in these lists).
function readForm() {
  const definition = {};
  withOptional(definition, 'description', $('description').value);
  definition.mainTable = $('main-table').value;
  definition.mainField = $('main-field').value;
  // Written only when not the default, as the library writes a definition.
  if ($('language-level').value !== '1') definition.languageLevel = Number($('language-level').value);
  if ($('distinct').checked) definition.distinct = true;
  const fieldRows = [...$('fields').children].filter((row) => row.querySelector('.text').value.trim() !== '');
  definition.fields = fieldRows.map((row) => {
    const field = {field: row.querySelector('.text').value};
    withOptional(field, 'name', row.querySelector('.name').value);
    withOptional(field, 'aggregate', row.querySelector('.aggregate').value);
    const orderPos = row.querySelector('.order-pos').value;
    if (orderPos !== '') field.orderPos = Number(orderPos);
    return withOptional(field, 'direction', row.querySelector('.direction').value);
  });
  const formulaRows = [...$('formulas').children].filter((row) => row.querySelector('.text').value.trim() !== '');
  definition.formulas = formulaRows.map((row) => {
    const formula = {text: row.querySelector('.text').value};
    withOptional(formula, 'name', row.querySelector('.name').value);
    const grouping = row.querySelector('.grouping').value;
    return grouping === 'and' ? formula : {...formula, grouping};
  });
  return {definition, rows: {formula: formulaRows, field: fieldRows}};
}

function fillForm(definition) {
  $('description').value = definition.description || '';
  $('main-table').value = definition.mainTable || '';
  $('main-field').value = definition.mainField || '';
  $('language-level').value = String(definition.languageLevel || 1);
  $('distinct').checked = definition.distinct === true;
  $('formulas').replaceChildren();
  $('fields').replaceChildren();
  (definition.formulas || []).forEach((formula) => addFormula(formula));
  (definition.fields || []).forEach((field) => addField(field));
  if (!$('formulas').children.length) addFormula();
  if (!$('fields').children.length) addField();
  scheduleCheck(0);
}

// ---- Checking ----------------------------------------------------------------------------------------------

function dialect() {
  return document.querySelector('input[name="dialect"]:checked').value;
}

function scheduleCheck(delay = CHECK_DELAY_MS) {
  clearTimeout(checkTimer);
  checkTimer = setTimeout(check, delay);
}

async function check() {
  const serial = ++checkSerial;
  const {definition, rows} = readForm();
  $('check-status').textContent = 'Checking…';
  try {
    const result = await callApi('/api/check', {definition, dialect: dialect()});
    if (serial === checkSerial) showCheck(result, rows);
  } catch (error) {
    if (serial !== checkSerial) return;
    clearDiagnostics();
    showStatus('check-status', `The definition cannot be checked: ${error.message}`, true);
    $('statement').textContent = '';
  }
}

// The text with the item at `position` (a byte offset) underlined with `className`.
function echoWithItem(text, position, className) {
  const echo = element('div', 'echo');
  const start = indexOfByte(text, position);
  let end = start;
  while (end < text.length && !/\s/.test(text[end])) end++;
  if (end === start) end = Math.min(start + 1, text.length);
  echo.append(text.slice(0, start));
  const item = element('span', className, text.slice(start, end) || ' ');
  item.title = 'position ' + position;
  echo.append(item, text.slice(end));
  return echo;
}

function failureMessage(failure) {
  const number = failure.error ? `error ${failure.error}: ` : '';
  const setting = failure.setting ? `${failure.setting} ${JSON.stringify(failure.settingValue)}: ` : '';
  return setting + number + failure.message;
}

function clearDiagnostics() {
  for (const row of document.querySelectorAll('.rows > .row')) {
    row.classList.remove('failed');
    row.querySelector('.diagnostics').replaceChildren();
  }
  $('report-failures').replaceChildren();
}

function diagnosticsOf(rows, finding) {
  const row = (rows[finding.subject] || [])[finding.index - 1];
  return row ? row.querySelector('.diagnostics') : null;
}

function showFailure(rows, failure) {
  const place = diagnosticsOf(rows, failure);
  if (!place) {
    const subject = failure.subject === 'statement' ? 'statement' : failure.subject.replace('main', 'main ').toLowerCase();
    $('report-failures').append(element('li', '', `${subject}: ${failureMessage(failure)}`));
    return;
  }
  place.closest('.row').classList.add('failed');
  if (failure.position !== undefined) place.append(echoWithItem(failure.text, failure.position, 'failing'));
  place.append(element('div', 'error-message', failureMessage(failure)));
}

function showWarning(rows, warning) {
  const place = diagnosticsOf(rows, warning);
  if (!place) return;
  if (warning.position !== undefined) place.append(echoWithItem(warning.text, warning.position, 'warning-item'));
  place.append(element('div', 'warning-message', `warning: ${warning.message}`));
}

function plural(count, one, many) {
  return `${count} ${count === 1 ? one : many}`;
}

function showStatus(id, text, bad) {
  $(id).textContent = text;
  $(id).classList.toggle('bad', bad);
}

function showCheck(result, rows) {
  clearDiagnostics();
  result.failures.forEach((failure) => showFailure(rows, failure));
  result.warnings.forEach((warning) => showWarning(rows, warning));
  const warnings = result.warnings.length ? `, ${plural(result.warnings.length, 'warning', 'warnings')}` : '';
  if (result.failures.length) {
    showStatus('check-status', plural(result.failures.length, 'failure', 'failures') + warnings, true);
  } else {
    showStatus('check-status', `No failures${warnings}; the statement builds.`, false);
  }
  // The library ends the statement's lines with \r\n; the page shows and saves plain line breaks.
  $('statement').textContent = (result.statement || '').replace(/\r\n/g, '\n').replace(/\n$/, '');
}

// ---- Running -----------------------------------------------------------------------------------------------

function rowTable(columns, rows) {
  const head = element('tr');
  columns.forEach((name) => head.append(element('th', '', name)));
  const body = rows.map((values) => {
    const line = element('tr');
    values.forEach((value) => line.append(value === null ? element('td', 'null', 'NULL') : element('td', '', value)));
    return line;
  });
  return [element('thead'), element('tbody')].map((part, i) => {
    part.append(...(i === 0 ? [head] : body));
    return part;
  });
}

async function run() {
  $('rows').replaceChildren();
  showStatus('row-count', 'Running…', false);
  try {
    const result = await callApi('/api/run', {definition: readForm().definition, limit: RUN_LIMIT});
    if (result.failures) {
      showStatus('row-count', 'Nothing ran: ' + result.failures.map(failureMessage).join('; '), true);
    } else if (result.error) {
      showStatus('row-count', `The statement failed: error ${result.error.number}: ${result.error.message}`, true);
    } else {
      const first = result.complete ? '' : ` (the first ${RUN_LIMIT})`;
      showStatus('row-count', plural(result.rowCount, 'row', 'rows') + first, false);
      $('rows').append(...rowTable(result.columns, result.rows));
    }
  } catch (error) {
    showStatus('row-count', `The report cannot run: ${error.message}`, true);
  }
}

// ---- Schema ------------------------------------------------------------------------------------------------

function insertReference(reference) {
  const input = lastTarget && lastTarget.isConnected ? lastTarget : $('formulas').querySelector('.text');
  if (!input) return;
  const start = input.selectionStart ?? input.value.length;
  const end = input.selectionEnd ?? start;
  input.setRangeText(reference, start, end, 'end');
  input.focus();
  scheduleCheck();
}

function columnButton(table, column) {
  const item = element('li');
  const button = element('button', 'code', column.name);
  button.type = 'button';
  const usable = !/^\(/.test(column.takenAs);
  button.disabled = !usable;
  button.setAttribute('aria-label', `Insert ${table}.${column.name} (${column.takenAs})`);
  button.addEventListener('click', () => insertReference(`${formulaName(table)}.${formulaName(column.name)}`));
  item.append(button, element('span', 'type', column.takenAs));
  return item;
}

function showSchema(tables) {
  const list = tables.map((table) => {
    const details = element('details');
    details.append(element('summary', 'code', table.name));
    const columns = element('ul', 'columns');
    columns.append(...table.columns.map((column) => columnButton(table.name, column)));
    details.append(columns);
    return details;
  });
  $('schema').replaceChildren(...list);
}

// ---- Files -------------------------------------------------------------------------------------------------

async function openFile(file) {
  try {
    const definition = JSON.parse(await file.text());
    fileName = file.name;
    $('file-name').textContent = file.name;
    fillForm(definition);
  } catch (error) {
    showStatus('check-status', `${file.name} is not a definition: ${error.message}`, true);
  }
}

function saveFile() {
  const text = JSON.stringify(readForm().definition, null, 2) + '\n';
  const link = element('a');
  link.href = URL.createObjectURL(new Blob([text], {type: 'application/json'}));
  link.download = fileName;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

// ---- Start -------------------------------------------------------------------------------------------------

function wire() {
  document.addEventListener('input', (event) => {
    if (event.target.closest('main')) scheduleCheck();
  });
  document.addEventListener('change', (event) => {
    if (event.target.matches('select, input[type="radio"]')) scheduleCheck(0);
  });
  document.addEventListener('focusin', (event) => {
    if (event.target.matches('.text')) lastTarget = event.target;
  });
  $('add-formula').addEventListener('click', () => addFormula().querySelector('.text').focus());
  $('add-field').addEventListener('click', () => addField().querySelector('.text').focus());
  $('run').addEventListener('click', run);
  $('open').addEventListener('click', () => $('open-file').click());
  $('open-file').addEventListener('change', (event) => {
    if (event.target.files.length) openFile(event.target.files[0]);
    event.target.value = '';
  });
  $('save').addEventListener('click', saveFile);
}

async function start() {
  wire();
  callApi('/api/schema').then((answer) => showSchema(answer.tables))
      .catch((error) => $('schema').replaceChildren(element('p', 'error-message', error.message)));
  try {
    const answer = await callApi('/api/definition');
    fillForm(answer.definition || {});
  } catch (error) {
    fillForm({});
  }
}

start();
