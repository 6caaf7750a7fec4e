// The page: loads logs, shows what the core says of them, and has the
// worker convert them. Every step of the conversion is the core's; the page
// only asks (a request per call) and shows the answer.
'use strict';
(() => {
  const $ = (id) => document.getElementById(id);
  // The page's own texts; the window's captions where the window has them.
  const T = {
    ready: '準備ができました。ログを読み込んでください。',
    loading: '読み込んでいます…',
    notALog: '検索結果ログファイルを指定してください',
    loadFailed: 'ログファイルを読み込めません',
    convertFailed: '変換できませんでした',
    itemsLoadFailed: '項目リストを読み込めません',
    itemsSaveFailed: '項目リストを保存できません',
    noItems: '最初の回答に項目がありません。ﾌｧｲﾙは作成していません。',
    running: (name, n, total) => `${name} を変換しています（${n}/${total}）…`,
    cancelled: '変換を中止しました。ﾌｧｲﾙは作成していません。',
    done: (name, rows, file) => `${name}: ${rows}行出力 → ${file} をダウンロードしました`,
    allDone: '変換完了',
    pending: '変換後に表示',
    layout: '回答様式　',
    answers: (found, announced) => `回答 ${found}/${announced}件`,
    records: (n) => `ﾚｺｰﾄﾞ ${n}件`,
    missing: (ranges) => `欠番 ${ranges}`,
    repeated: (list) => `重複 ${list}`,
    noGaps: '欠番・重複はありません',
    reportDownload: 'レポート（JSON）をダウンロード',
    select: (name) => `${name} を選ぶ`,
    remove: (name) => `${name} を外す`,
    code: (n) => `${n}番目の項目名`,
    join: (n) => `${n}番目の項目を行連結する`,
    encodings: {'cp932': 'Shift_JIS', 'utf-8': 'UTF-8', 'utf-16le': 'UTF-16LE', 'utf-16be': 'UTF-16BE'},
    crashed: '予期しないエラーが起きました（ワーカーが止まりました）',
  };

  const logs = [];  // {id, file, info, items (null: the first answer's), report}
  let selected = -1;
  let nextId = 1;
  let worker = null;
  let workerReady = null;
  let module = null;  // a promise of the compiled core
  const waiting = new Map();
  let nextCall = 1;
  let output = null;  // {name, chunks} of the run under way
  let running = false;
  let cancelled = false;

  function decodeBase64(text) {
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text.trim());
    const binary = atob(text.trim());
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  function startWorker() {
    const source = $('worker-source').textContent;
    const url = URL.createObjectURL(new Blob([source], {type: 'text/javascript'}));
    worker = new Worker(url);
    URL.revokeObjectURL(url);
    workerReady = new Promise((resolve) => {
      worker.onmessage = (event) => {
        const m = event.data;
        if (m.type === 'ready') {
          // How the worker reads a log, for the tests and the benchmark.
          document.documentElement.dataset.reads = m.reads;
          resolve();
        }
        else if (m.type === 'open') output = {name: m.name, chunks: []};
        // Each chunk becomes a blob at once, which the browser may keep on
        // disk, and its memory goes back to the worker for the next chunks.
        else if (m.type === 'chunk') {
          if (output) output.chunks.push(new Blob([m.bytes.subarray(0, m.size)]));
          worker.postMessage({type: 'spare', bytes: m.bytes}, [m.bytes.buffer]);
        }
        else if (m.type === 'progress') showProgress(m.percent);
        else if (m.type === 'result') {
          // What the core's memory has grown to, for the benchmark.
          document.documentElement.dataset.coreMemory = String(m.memory);
          const done = waiting.get(m.id);
          waiting.delete(m.id);
          if (done) done.resolve(m.result);
        }
      };
      worker.onerror = (event) => {
        event.preventDefault();
        for (const done of waiting.values()) done.resolve({error: T.crashed});
        waiting.clear();
      };
    });
    // The worker reads its script while the core is being compiled.
    module.then((compiled) => worker.postMessage({type: 'init', module: compiled}));
  }

  async function call(request, log) {
    await workerReady;
    const id = nextCall++;
    const files = log ? [[log.id, log.file]] : [];
    const folder = log ? `/files/${log.id}` : null;
    if (log) {
      request.log = log.file.name;
      request.name = log.file.name;
    }
    return new Promise((resolve) => {
      waiting.set(id, {resolve});
      worker.postMessage({type: 'call', id, request, files, folder});
    });
  }

  // The options as the core's request names them.
  function options(log) {
    const request = {
      encoding: $('encoding').value,
      keepStars: !$('removeStars').checked,
      keepWidth: !$('halfWidth').checked,
      csvEncoding: $('csvEncoding').value,
      quotes: $('doubleQuotes').checked ? 'double' : 'apostrophe',
      protectFormulas: $('protectFormulas').checked,
      skipEmptyRows: $('skipEmptyRows').checked,
      discover: $('firstAnswer').checked ? 'first-answer' : 'first-block',
      format: $('format').value,
    };
    if ($('db').value) request.db = $('db').value;
    if (log && log.items) request.items = log.items;
    return request;
  }

  function download(name, parts, type) {
    const url = URL.createObjectURL(new Blob(parts, {type}));
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function setStatus(text) { $('status').textContent = text; }
  function setError(title, detail) { $('error').textContent = title ? `${title}\n${detail || ''}` : ''; }
  // Only a conversion moves the bar; reading a log on loading does not.
  function showProgress(percent) {
    if (!running) return;
    $('progress').value = percent;
    $('percent').textContent = `${percent}%`;
  }

  function cell(row, text, header) {
    const c = document.createElement(header ? 'th' : 'td');
    c.textContent = text;
    row.appendChild(c);
    return c;
  }

  function describeAnswers(report) {
    if (!report) return '';
    const parts = [T.records(report.records)];
    for (const set of report.answers) {
      if (set.announced !== null) parts.push(T.answers(set.found, set.announced));
    }
    return parts.join('  ');
  }

  function renderLogs() {
    const body = $('logs').tBodies[0];
    body.textContent = '';
    logs.forEach((log, index) => {
      const row = body.insertRow();
      if (index === selected) row.className = 'selected';
      const pick = document.createElement('input');
      pick.type = 'radio';
      pick.name = 'selected-log';
      pick.checked = index === selected;
      pick.setAttribute('aria-label', T.select(log.file.name));
      pick.addEventListener('change', () => { selected = index; renderAll(); });
      row.insertCell().appendChild(pick);
      cell(row, log.file.name);
      const info = log.info || {};
      cell(row, info.service || (info.refusal ? '—' : ''));
      cell(row, info.encoding ? `${T.encodings[info.encoding]}・${info.lineEnd}` : '');
      cell(row, log.report ? describeAnswers(log.report) : (info.service ? T.pending : ''));
      const state = cell(row, log.problem || log.state || '');
      if (log.problem) state.className = 'bad';
      const remove = document.createElement('button');
      remove.type = 'button';
      remove.textContent = '×';
      remove.setAttribute('aria-label', T.remove(log.file.name));
      remove.disabled = running;
      remove.addEventListener('click', () => {
        logs.splice(index, 1);
        if (selected >= logs.length) selected = logs.length - 1;
        renderAll();
        refreshPreview();
      });
      row.insertCell().appendChild(remove);
    });
    $('convert').disabled = running || !logs.some((log) => log.info && log.info.service);
  }

  function currentItems(log) {
    if (!log || !log.info) return [];
    return log.items || log.info.items || [];
  }

  function renderItems() {
    const log = logs[selected];
    const body = $('items').tBodies[0];
    body.textContent = '';
    const patolis = log && log.info && log.info.service === 'PATOLIS';
    $('items-box').hidden = patolis;
    $('layout').hidden = !patolis;
    if (patolis) {
      const layout = log.info.layout;
      $('layout').textContent = T.layout + (layout ? layout.character : '') +
          (log.info.layoutProblem ? `\n${log.info.layoutProblem}` : '');
      return;
    }
    const counts = new Map();
    if (log && log.report) for (const item of log.report.items) counts.set(item.code, item.rows);
    const items = currentItems(log);
    itemFocus = Math.max(0, Math.min(itemFocus, items.length - 1));
    items.forEach((item, index) => {
      const row = body.insertRow();
      cell(row, String(index + 1));
      const code = document.createElement('input');
      code.type = 'text';
      code.value = item.code;
      code.setAttribute('aria-label', T.code(index + 1));
      code.addEventListener('change', () => editItems((list) => { list[index].code = code.value; }));
      row.insertCell().appendChild(code);
      const join = document.createElement('input');
      join.type = 'checkbox';
      join.checked = item.mark === '*';
      join.setAttribute('aria-label', T.join(index + 1));
      join.addEventListener('change', () => editItems((list) => { list[index].mark = join.checked ? '*' : ''; }));
      row.insertCell().appendChild(join);
      // The item buttons act on the current row. Only its fields are in the
      // tab order, so Tab leaves the table for the buttons without making
      // another row current; the arrow keys move between rows.
      for (const [column, input] of [code, join].entries()) {
        input.addEventListener('focus', () => markItem(index));
        input.addEventListener('keydown', (e) => {
          const step = {ArrowUp: -1, ArrowDown: 1}[e.key];
          const target = step && body.rows[index + step];
          if (!target) return;
          e.preventDefault();
          target.querySelectorAll('input')[column].focus();
        });
      }
      cell(row, counts.has(item.code) ? String(counts.get(item.code)) : '');
    });
    markItem(itemFocus);
  }

  let itemFocus = 0;
  function markItem(index) {
    itemFocus = index;
    [...$('items').tBodies[0].rows].forEach((row, n) => {
      row.classList.toggle('current', n === index);
      for (const input of row.querySelectorAll('input')) input.tabIndex = n === index ? 0 : -1;
    });
  }

  // Changes the item list. A new focus row redraws the table and, when asked,
  // puts the caret in that row's name; an edit in place keeps the fields (and
  // the keyboard focus) where they are.
  function editItems(change, focus, intoRow) {
    const log = logs[selected];
    if (!log || !log.info || !log.info.items) return;
    const list = currentItems(log).map((item) => ({code: item.code, mark: item.mark}));
    change(list);
    log.items = list;
    log.report = null;
    if (focus === undefined) {
      for (const row of $('items').tBodies[0].rows) row.cells[3].textContent = '';
    } else {
      itemFocus = Math.max(0, Math.min(focus, list.length - 1));
      renderItems();
      const inputs = $('items').querySelectorAll('input[type=text]');
      if (intoRow && inputs[itemFocus]) inputs[itemFocus].focus();
    }
    refreshPreview();
  }

  function renderAll() {
    renderLogs();
    renderItems();
  }

  // Splits CSV text (every field quoted) into rows of fields.
  function parseCsv(text) {
    const rows = [];
    let row = [];
    let field = '';
    let quoted = false;
    for (let i = 0; i < text.length; ++i) {
      const c = text[i];
      if (quoted) {
        if (c === '"' && text[i + 1] === '"') { field += '"'; ++i; }
        else if (c === '"') quoted = false;
        else field += c;
      } else if (c === '"') quoted = true;
      else if (c === ',') { row.push(field); field = ''; }
      else if (c === '\r') { /* the LF after it ends the row */ }
      else if (c === '\n') { row.push(field); rows.push(row); row = []; field = ''; }
      else field += c;
    }
    if (field !== '' || row.length) { row.push(field); rows.push(row); }
    return rows;
  }

  let previewToken = 0;
  async function refreshPreview() {
    const token = ++previewToken;
    const log = logs[selected];
    const body = $('preview').tBodies[0];
    if (!log || !log.info || !log.info.service || running) {
      body.textContent = '';
      return;
    }
    const result = await call(Object.assign({op: 'preview'}, options(log)), log);
    if (token !== previewToken) return;
    body.textContent = '';
    if (result.error) {
      cell(body.insertRow(), `プレビューできません：${result.error}`);
      return;
    }
    parseCsv(result.csv.replace(/^\ufeff/, '')).forEach((fields, index) => {
      const row = body.insertRow();
      for (const f of fields) cell(row, f.replace(/\n/g, '↵'), index === 0);
    });
  }

  async function openLog(log) {
    log.state = T.loading;
    log.problem = '';
    const info = await call(Object.assign({op: 'open'}, options(log)), log);
    if (info.error) {
      log.info = null;
      log.state = '';
      log.problem = `${T.loadFailed}: ${info.error}`;
      return;
    }
    log.info = info;
    if (!info.service) log.problem = `${T.notALog}: ${info.refusal}`;
    else if (info.layoutProblem) log.problem = info.layoutProblem;
    // Answer counts and item counts on load, for a log small enough to read at once.
    if (info.service && log.file.size <= 20e6 && !info.layoutProblem) {
      const seen = await call(Object.assign({op: 'inspect'}, options(log)), log);
      if (!seen.error) log.report = JSON.parse(seen.reportJson);
    }
    log.state = '';
  }

  async function addFiles(files) {
    if (running) return;
    const added = [];
    for (const file of files) {
      const log = {id: nextId++, file, info: null, items: null, report: null};
      logs.push(log);
      added.push(log);
    }
    if (selected < 0 && logs.length) selected = 0;
    setError('');
    renderAll();
    for (const log of added) {
      await openLog(log);
      renderAll();
    }
    // A log refused on loading is said where a screen reader announces it too.
    const problems = added.filter((log) => log.problem).map((log) => `${log.file.name}: ${log.problem}`);
    if (problems.length) setError(problems.join('\n'));
    refreshPreview();
  }

  async function reopenAll() {
    if (running) return;
    for (const log of logs) {
      log.items = null;
      log.report = null;
      await openLog(log);
    }
    renderAll();
    refreshPreview();
  }

  function showReport(reports) {
    const box = $('report');
    box.textContent = '';
    for (const {log, result, report} of reports) {
      const h = document.createElement('h3');
      h.textContent = `${log.file.name}（${report.service}）`;
      box.appendChild(h);
      const lines = [`${result.rows}行出力  ${describeAnswers(report)}`];
      let gaps = false;
      for (const set of report.answers) {
        const name = set.set ? `${set.set}: ` : '';
        if (set.missing.length) {
          gaps = true;
          lines.push(name + T.missing(set.missing.map((r, i) =>
            `${r[0] === r[1] ? r[0] : r[0] + '-' + r[1]}（${set.missing_at[i]}行目の回答の前）`).join(', ')));
        }
        if (set.repeated.length) {
          gaps = true;
          lines.push(name + T.repeated(set.repeated.map((n, i) => `${n}（${set.repeated_at[i]}行目）`).join(', ')));
        }
      }
      if (!gaps) lines.push(T.noGaps);
      for (const w of result.warnings) lines.push(`${w.line}行目: ${w.text}`);
      const p = document.createElement('p');
      p.style.whiteSpace = 'pre-wrap';
      p.textContent = lines.join('\n');
      box.appendChild(p);
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = T.reportDownload;
      button.addEventListener('click', () => download(result.log.outputName.replace(/\.[^.]*$/, '') + '.report.json',
                                                      [result.reportJson], 'application/json'));
      box.appendChild(button);
    }
    $('report-section').hidden = reports.length === 0;
  }

  function setRunning(on) {
    // The keyboard focus goes from 変換 to 中止 and back, as each is disabled.
    const [from, to] = on ? [$('convert'), $('cancel')] : [$('cancel'), $('convert')];
    const moveFocus = document.activeElement === from;
    running = on;
    $('cancel').disabled = !on;
    for (const id of ['log-input', 'items-input', 'db', 'encoding', 'format', 'firstAnswer']) $(id).disabled = on;
    renderLogs();
    if (moveFocus && !to.disabled) to.focus();
  }

  async function convertAll() {
    if (running) return;
    setRunning(true);
    cancelled = false;
    setError('');
    const reports = [];
    const todo = logs.filter((log) => log.info && log.info.service);
    try {
      for (let n = 0; n < todo.length && !cancelled; ++n) {
        const log = todo[n];
        setStatus(T.running(log.file.name, n + 1, todo.length));
        showProgress(0);
        output = null;
        const result = await call(Object.assign({op: 'convert'}, options(log)), log);
        if (cancelled) break;
        if (result.error) {
          output = null;
          const reason = result.error === 'noItems' ? T.noItems : result.error;
          log.problem = `${T.convertFailed}: ${reason}`;
          setError(T.convertFailed, `${log.file.name}\n${reason}`);
          continue;
        }
        const report = JSON.parse(result.reportJson);
        log.report = report;
        log.problem = '';
        log.state = T.done(log.file.name, result.rows, output.name);
        const type = output.name.endsWith('.xlsx')
            ? 'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet' : 'text/csv';
        download(output.name, output.chunks, type);
        output = null;
        reports.push({log, result, report});
        showProgress(100);
        setStatus(log.state);
      }
    } finally {
      setRunning(false);
    }
    if (!cancelled) {
      showReport(reports);
      if (reports.length === todo.length) setStatus(T.allDone + (reports.length ? `（${reports.length}件）` : ''));
    }
    renderAll();
  }

  function cancel() {
    if (!running) return;
    cancelled = true;
    worker.terminate();
    output = null;
    for (const done of waiting.values()) done.resolve({error: T.cancelled});
    waiting.clear();
    startWorker();
    showProgress(0);
    setStatus(T.cancelled);
    setRunning(false);
  }

  function wire() {
    $('log-input').addEventListener('change', (e) => { addFiles([...e.target.files]); e.target.value = ''; });
    const drop = $('drop');
    for (const target of [drop, document.body]) {
      target.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
      target.addEventListener('dragleave', () => drop.classList.remove('over'));
      target.addEventListener('drop', (e) => {
        e.preventDefault();
        drop.classList.remove('over');
        if (e.dataTransfer && e.dataTransfer.files.length) addFiles([...e.dataTransfer.files]);
      });
    }
    for (const id of ['db', 'encoding', 'firstAnswer', 'format']) $(id).addEventListener('change', reopenAll);
    for (const id of ['removeStars', 'halfWidth', 'doubleQuotes', 'protectFormulas', 'skipEmptyRows', 'csvEncoding']) {
      $(id).addEventListener('change', refreshPreview);
    }
    $('convert').addEventListener('click', convertAll);
    $('cancel').addEventListener('click', cancel);
    $('item-add').addEventListener('click', () => editItems((list) => list.splice(itemFocus + 1, 0, {code: '', mark: ''}), itemFocus + 1, true));
    $('item-delete').addEventListener('click', () => editItems((list) => list.splice(itemFocus, 1), itemFocus));
    $('item-up').addEventListener('click', () => editItems((list) => {
      if (itemFocus > 0) [list[itemFocus - 1], list[itemFocus]] = [list[itemFocus], list[itemFocus - 1]];
    }, itemFocus - 1));
    $('item-down').addEventListener('click', () => editItems((list) => {
      if (itemFocus + 1 < list.length) [list[itemFocus + 1], list[itemFocus]] = [list[itemFocus], list[itemFocus + 1]];
    }, itemFocus + 1));
    $('item-reset').addEventListener('click', () => {
      const log = logs[selected];
      if (!log) return;
      log.items = null;
      renderItems();
      refreshPreview();
    });
    $('items-input').addEventListener('change', async (e) => {
      const file = e.target.files[0];
      e.target.value = '';
      const log = logs[selected];
      if (!file || !log || !log.info || !log.info.items) return;
      await workerReady;
      const id = nextId++;
      const result = await new Promise((resolve) => {
        const callId = nextCall++;
        waiting.set(callId, {resolve});
        worker.postMessage({type: 'call', id: callId, files: [[id, file]],
                            request: {op: 'loadItems', path: `/files/${id}/${file.name}`}});
      });
      if (result.error) {
        setError(T.itemsLoadFailed, `${file.name}\n${result.error}`);
        return;
      }
      setError('');
      log.items = result.items;
      log.report = null;
      renderItems();
      refreshPreview();
    });
    $('items-save').addEventListener('click', async () => {
      const log = logs[selected];
      if (!log || !log.info || !log.info.items) return;
      output = null;
      const result = await call({op: 'saveItems', path: 'items.txt', items: currentItems(log)}, null);
      if (result.error || !output) {
        setError(T.itemsSaveFailed, result.error || '');
        return;
      }
      download(output.name, output.chunks, 'text/plain');
      output = null;
    });
  }

  wire();
  renderAll();
  let compiled;
  module = new Promise((resolve) => { compiled = resolve; });
  startWorker();
  compiled(WebAssembly.compile(decodeBase64($('core-wasm').textContent)));
  workerReady.then(() => {
    setStatus(T.ready);
    document.documentElement.dataset.readyMs = String(Math.round(performance.now()));
    document.documentElement.dataset.ready = 'true';
  });
})();
