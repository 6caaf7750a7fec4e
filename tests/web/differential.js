// Holds the page's core (the WebAssembly module, run here in Node.js)
// against the native trovlin-cli on generated logs: for every log and option
// set both must write the same CSV bytes and the same JSON report, or refuse
// alike. The logs are the bundled samples changed at random (lines dropped,
// repeated or cut, text and invalid bytes put in, line ends changed), with a
// fixed seed, so a failure is repeatable. Every tenth log is also written as
// a workbook by both, whose parts (sheets, shared strings, styles) must be
// the same.
//
// usage: node differential.js CORE_DIR TROVLIN_CLI SAMPLES_DIR WORK_DIR [LOGS_PER_SERVICE]
'use strict';
const fs = require('fs');
const path = require('path');
const {spawnSync} = require('child_process');

const [coreDir, cli, samples, work] = process.argv.slice(2, 6);
const perService = Number(process.argv[6] || 1000);
// Every this many logs, the same run as a workbook too.
const workbookEvery = 10;

// A small fixed-seed generator (mulberry32), so every run makes the same logs.
let seed = 0x7201;
function random() {
  seed = (seed + 0x6d2b79f5) | 0;
  let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
  t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const pick = (list) => list[Math.floor(random() * list.length)];

// Code page 932 bytes a log may hold: full-width letters, kana, symbols that
// some options change (＊ ＝ ＂), half-width katakana, and bytes that are no
// character at all.
const pieces = [
  [0x82, 0x60], [0x82, 0xa0], [0x81, 0x96], [0x81, 0x81], [0x81, 0x68], [0x88, 0x9f], [0xb1], [0xdf],
  [0x22], [0x2c], [0x3d], [0x2a, 0x2a, 0x2a], [0x40], [0x2b], [0x2d], [0x09], [0x80], [0xff], [0x82],
  [0x20, 0x20], [0x41, 0x42, 0x43], [0x0a], [0x0d],
];

// A workbook's parts (unzipped), but its creation time, which differs by run.
function workbookParts(file) {
  const script = 'import json, sys, zipfile\n' +
      'with zipfile.ZipFile(sys.argv[1]) as b:\n' +
      '    print(json.dumps({n: b.read(n).hex() for n in sorted(b.namelist()) if n != "docProps/core.xml"}))\n';
  return spawnSync('/usr/bin/python3', ['-c', script, file], {encoding: 'utf8', maxBuffer: 1 << 28}).stdout;
}

function splitLines(bytes) {
  const lines = [];
  let start = 0;
  for (let i = 0; i < bytes.length; ++i) {
    if (bytes[i] === 0x0d) {
      const end = bytes[i + 1] === 0x0a ? i + 2 : i + 1;
      lines.push(bytes.subarray(start, end));
      start = end;
      i = end - 1;
    }
  }
  if (start < bytes.length) lines.push(bytes.subarray(start));
  return lines;
}

function mutate(sample) {
  const lines = splitLines(sample).map((l) => Buffer.from(l));
  const keep = 3;  // the opening lines, so that most logs are still detected
  const out = lines.slice(0, keep);
  for (const line of lines.slice(keep)) {
    const r = random();
    if (r < 0.05) continue;
    if (r < 0.10) {
      out.push(line, line);
      continue;
    }
    if (r < 0.25) {
      const at = Math.floor(random() * line.length);
      out.push(Buffer.concat([line.subarray(0, at), Buffer.from(pick(pieces)), line.subarray(at)]));
      continue;
    }
    out.push(line);
  }
  let log = Buffer.concat(out);
  const ends = random();
  if (ends < 0.1) log = Buffer.from(log.toString('latin1').replace(/\r\n/g, '\n'), 'latin1');
  else if (ends < 0.15) log = Buffer.from(log.toString('latin1').replace(/\r\n/g, '\r'), 'latin1');
  if (random() < 0.05) log = log.subarray(0, Math.floor(random() * log.length));
  return log;
}

// An option set: the CLI's arguments and the page's request for the same run.
function optionSet(service) {
  const args = [];
  const request = {};
  const choose = (flag, list, key) => {
    const i = Math.floor(random() * list.length);
    if (i > 0) {
      args.push(flag, list[i]);
      request[key] = list[i];
    }
  };
  choose('--encoding', ['cp932', 'utf-8', 'utf-8-bom'], 'csvEncoding');
  choose('--quotes', ['apostrophe', 'double'], 'quotes');
  choose('--discover', ['first-block', 'first-answer'], 'discover');
  const flag = (name, key, p) => {
    if (random() < p) {
      args.push(name);
      request[key] = true;
    }
  };
  flag('--keep-stars', 'keepStars', 0.3);
  flag('--keep-width', 'keepWidth', 0.3);
  flag('--skip-empty-rows', 'skipEmptyRows', 0.3);
  flag('--protect-formulas', 'protectFormulas', 0.3);
  if (random() < 0.05) {
    const other = pick(['STN', 'DIALOG', 'JOIS', 'PATOLIS'].filter((s) => s !== service));
    args.push('--db', other);
    request.db = other;
  }
  return {args, request};
}

// A saved item list from the codes of a sample's first answer, reordered,
// with one code the log may lack; the CLI reads it with --items-file.
function itemList(items) {
  // A code with a TAB or a line end cannot be saved in a list file.
  const savable = items.filter((i) => i.code !== '' && !/[\t\r\n]/.test(i.code));
  const list = savable.filter(() => random() < 0.7).map((i) => ({code: i.code, mark: random() < 0.5 ? '*' : ''}));
  if (random() < 0.3) list.push({code: 'ZZ', mark: ''});
  if (list.length > 1 && random() < 0.5) list.reverse();
  return list;
}

const services = {
  STN: ['stn_sample.log'],
  DIALOG: ['dialog_sample.log'],
  JOIS: ['jois_sample.log'],
  PATOLIS: ['patolis_layout1.log', 'patolis_layout2.log', 'patolis_layout3.log', 'patolis_layout4.log'],
};

require(path.resolve(coreDir, 'trovlin_core.js'))({
  wasmBinary: fs.readFileSync(path.join(coreDir, 'trovlin_core.wasm')),
  print() {},
  printErr() {},
  pageOutputOpen(name) { this.output = {name, chunks: []}; },
  pageOutputWrite(bytes) { this.output.chunks.push(Buffer.from(bytes)); },
  pageOutputClose() {},
  pageProgress() {},
}).then((core) => {
  const call = (r) => JSON.parse(core.ccall('trovlin_call', 'string', ['string'], [JSON.stringify(r)]));
  fs.mkdirSync(work, {recursive: true});
  core.FS.mkdir('/logs');
  core.FS.chdir('/logs');
  const failures = [];
  const tally = {};
  for (const [service, files] of Object.entries(services)) {
    tally[service] = {logs: 0, converted: 0, refused: 0, workbooks: 0};
    for (let n = 0; n < perService; ++n) {
      const sample = fs.readFileSync(path.join(samples, files[n % files.length]));
      const log = mutate(sample);
      const name = `${service.toLowerCase()}_${n}.log`;
      const logPath = path.join(work, name);
      fs.writeFileSync(logPath, log);
      core.FS.writeFile('/logs/' + name, log);
      const {args, request} = optionSet(service);
      Object.assign(request, {op: 'convert', log: name, name});
      if (service !== 'PATOLIS' && random() < 0.2) {
        const opened = call({op: 'open', log: name, name, discover: request.discover});
        if (opened.items && opened.items.length) {
          request.items = itemList(opened.items);
          const listPath = path.join(work, name + '.items');
          fs.writeFileSync(listPath, 'trovlin-items 1\n' + request.items.map((i) => `${i.code}\t${i.mark}\n`).join(''));
          args.push('--items-file', listPath);
        }
      }
      const csvPath = path.join(work, name + '.csv');
      const reportPath = path.join(work, name + '.json');
      fs.rmSync(csvPath, {force: true});
      fs.rmSync(reportPath, {force: true});
      core.output = null;
      const page = call(request);
      const native = spawnSync(cli, ['convert', name, '-o', csvPath, '--report', reportPath, ...args],
                               {cwd: work, encoding: 'latin1'});
      tally[service].logs++;
      const fail = (why) => failures.push(`${name} [${args.join(' ')}]: ${why}`);
      if (page.error) {
        tally[service].refused++;
        if (native.status === 0 && fs.existsSync(csvPath)) fail(`the page refused (${page.error}), the CLI wrote a CSV`);
        continue;
      }
      tally[service].converted++;
      if (native.status !== 0) {
        fail(`the CLI failed (exit ${native.status}: ${native.stderr.trim()}), the page converted`);
        continue;
      }
      const pageCsv = Buffer.concat(core.output.chunks);
      if (core.output.name !== name.replace(/\.log$/, '.csv')) fail(`the page named the CSV ${core.output.name}`);
      if (!pageCsv.equals(fs.readFileSync(csvPath))) fail('the CSV bytes differ');
      if (page.reportJson !== fs.readFileSync(reportPath, 'utf8')) fail('the reports differ');
      if (n % workbookEvery !== 0) continue;
      const bookPath = path.join(work, name + '.xlsx');
      fs.rmSync(bookPath, {force: true});
      core.output = null;
      const pageBook = call(Object.assign({}, request, {format: 'xlsx'}));
      const nativeBook = spawnSync(cli, ['convert', name, '-o', bookPath, '--format', 'xlsx', ...args], {cwd: work});
      if (pageBook.error || nativeBook.status !== 0) {
        fail(`workbook: the page said ${pageBook.error || 'done'}, the CLI exited ${nativeBook.status}`);
        continue;
      }
      tally[service].workbooks++;
      const pagePath = path.join(work, name + '.page.xlsx');
      fs.writeFileSync(pagePath, Buffer.concat(core.output.chunks));
      const [mine, theirs] = [workbookParts(pagePath), workbookParts(bookPath)];
      if (!mine || mine !== theirs) fail('the workbooks differ');
    }
  }
  for (const [service, t] of Object.entries(tally)) {
    console.log(`${service}: ${t.logs} logs, ${t.converted} converted alike (${t.workbooks} as workbooks too), ` +
                `${t.refused} refused by both`);
  }
  if (failures.length) {
    console.log(`${failures.length} difference(s); the first:`);
    for (const f of failures.slice(0, 10)) console.log('  ' + f);
    process.exit(1);
  }
  console.log('the page core and trovlin-cli agree on every log');
});
