// The page's worker: runs the core, one call at a time. The page sends the
// compiled module once, then calls with the browser's File objects they
// need; a log is mounted (read in blocks as the core asks), never copied.
// The page stops a run by ending this worker.
'use strict';
let core = null;
const mounted = new Set();
let lastPercent = -1;

// Where the browser can suspend WebAssembly while a promise settles, the
// core's call runs as a promise and its reads of a log wait for the File's
// byte stream, read ahead on another core into a few reused buffers.
// Otherwise each read of a window is a FileReaderSync call, which hands back
// fresh memory every time and costs several times as much.
let suspendingCall = null;

// A log is read in windows: the core's reads (128 KiB each) are served from
// the window that holds their start, short at its end, so that the next
// read starts the next window where the stream already stands. A window is
// copied into the core's memory through a view of the same type as the one
// the read is given (signed bytes), which copies as memcpy does.
const kWindow = 8 << 20;
const kStreamWindow = 4 << 20;

function setWindow(stream, start, buffer, size) {
  stream.window = {start, size, buffer, signed: new Int8Array(buffer, 0, size), unsigned: new Uint8Array(buffer, 0, size)};
}

function readInWindows(stream, buffer, offset, length, position) {
  const file = stream.node.contents;
  if (position >= file.size) return 0;
  let window = stream.window;
  if (!window || position < window.start || position >= window.start + window.size) {
    // A stream's window is filled before each read; missing it is a fault
    // the core must hear of (as a failed read), not one to cover up.
    if (suspendingCall) throw new core.FS.ErrnoError(29 /* EIO */);
    const end = Math.min(file.size, position + Math.max(length, kWindow));
    const bytes = new FileReaderSync().readAsArrayBuffer(file.slice(position, end));
    setWindow(stream, position, bytes, bytes.byteLength);
    window = stream.window;
  }
  const served = Math.min(length, window.start + window.size - position);
  const source = buffer instanceof Int8Array ? window.signed : window.unsigned;
  buffer.set(source.subarray(position - window.start, position - window.start + served), offset);
  return served;
}

// A log's byte stream is read by a helper worker, on a core of its own, a
// window or two ahead of the core: each window arrives as a buffer handed
// over whole, and goes back to the helper once the core has left it. The
// helper's code, as the source of its worker.
function readAheadWorker() {
  let reader = null;
  let next = 0;
  let busy = false;
  let ended = false;
  const spare = [];
  async function pump() {
    if (busy) return;
    busy = true;
    try {
      while (!ended && spare.length > 0) {
        let buffer = spare.pop();
        let filled = 0;
        while (filled < buffer.byteLength) {
          // A read takes the buffer over and hands it back as the view it returns.
          const {done, value} = await reader.read(new Uint8Array(buffer, filled, buffer.byteLength - filled));
          if (value) buffer = value.buffer;
          if (done) {
            ended = true;
            break;
          }
          filled += value.byteLength;
        }
        self.postMessage({start: next, size: filled, buffer}, [buffer]);
        next += filled;
      }
    } catch (error) {
      ended = true;
      self.postMessage({failed: String(error)});
    }
    busy = false;
  }
  self.onmessage = (event) => {
    const m = event.data;
    if (m.file) {
      reader = m.file.slice(m.start).stream().getReader({mode: 'byob'});
      next = m.start;
    }
    spare.push(...m.buffers);
    pump();
  };
}
let readAheadSource = null;

// A helper reading file from start on, and what it has sent.
function startReadAhead(file, start) {
  if (!readAheadSource) {
    readAheadSource = URL.createObjectURL(new Blob([`(${readAheadWorker})()`], {type: 'text/javascript'}));
  }
  const ahead = {helper: new Worker(readAheadSource), next: start, arrived: [], waiting: null};
  ahead.helper.onmessage = (event) => {
    if (ahead.waiting) {
      const resolve = ahead.waiting;
      ahead.waiting = null;
      resolve(event.data);
    } else {
      ahead.arrived.push(event.data);
    }
  };
  const buffers = [new ArrayBuffer(kStreamWindow), new ArrayBuffer(kStreamWindow)];
  ahead.helper.postMessage({file, start, buffers}, buffers);
  return ahead;
}

function nextWindow(ahead) {
  if (ahead.arrived.length > 0) return Promise.resolve(ahead.arrived.shift());
  return new Promise((resolve) => { ahead.waiting = resolve; });
}

// Fills the stream's window from position on, before the core's read of
// it: from the helper already reading from that point, or from a new one.
// The window the core leaves goes back to the helper. A failed read leaves
// no window, which the core hears of as a failed read.
async function fillFromStream(stream, position) {
  const file = stream.node.contents;
  const window = stream.window;
  if (position >= file.size || (window && position >= window.start && position < window.start + window.size)) return;
  let ahead = stream.ahead;
  if (!ahead || ahead.next !== position) {
    if (ahead) ahead.helper.terminate();
    ahead = stream.ahead = startReadAhead(file, position);
  }
  const arrived = await nextWindow(ahead);
  stream.window = null;
  if (window) ahead.helper.postMessage({buffers: [window.buffer]}, [window.buffer]);
  if (arrived.failed) return;
  ahead.next = arrived.start + arrived.size;
  setWindow(stream, arrived.start, arrived.buffer, arrived.size);
}

// The core's fd_read, made to wait for a window of a mounted log first.
function suspendingRead(fdRead) {
  return new WebAssembly.Suspending(async (fd, iov, iovcnt, pnum) => {
    const stream = core.FS.getStream(fd);
    if (stream && stream.stream_ops === core.FS.filesystems.WORKERFS.stream_ops) await fillFromStream(stream, stream.position);
    return fdRead(fd, iov, iovcnt, pnum);
  });
}

// The output goes to the page in chunks of kChunk bytes. The page gives each
// chunk's memory back once it has made a blob of it, and the next chunks are
// gathered in it: fresh memory costs more than the copy itself.
const kChunk = 4 << 20;
const spare = [];
let chunk = null;
let used = 0;

function sendChunk() {
  if (chunk && used > 0) self.postMessage({type: 'chunk', bytes: chunk, size: used}, [chunk.buffer]);
  else if (chunk) spare.push(chunk);
  chunk = null;
  used = 0;
}

function gather(bytes) {
  for (let at = 0; at < bytes.length;) {
    if (!chunk) chunk = spare.pop() || new Uint8Array(kChunk);
    const n = Math.min(bytes.length - at, chunk.length - used);
    chunk.set(bytes.subarray(at, at + n), used);
    used += n;
    at += n;
    if (used === chunk.length) sendChunk();
  }
}

function mount(id, file) {
  if (mounted.has(id)) return;
  const dir = '/files/' + id;
  core.FS.mkdir(dir);
  core.FS.mount(core.FS.filesystems.WORKERFS, {files: [file]}, dir);
  mounted.add(id);
}

async function call(request) {
  const text = JSON.stringify(request);
  if (!suspendingCall) return JSON.parse(core.ccall('trovlin_call', 'string', ['string'], [text]));
  const size = core.lengthBytesUTF8(text) + 1;
  const pointer = core._malloc(size);
  core.stringToUTF8(text, pointer, size);
  try {
    return JSON.parse(core.UTF8ToString(await suspendingCall(pointer)));
  } finally {
    core._free(pointer);
  }
}

// The key the module's exports give trovlin_call under (the build shortens
// export names), read from the module's own script; null if not found.
const callKey = (/Module\["_trovlin_call"\]=Module\["asm"\]\["(\w+)"\]/.exec(String(TrovlinCore)) || [])[1] || null;
const canSuspend = callKey !== null && typeof WebAssembly.Suspending === 'function' &&
    typeof WebAssembly.promising === 'function' && typeof Worker === 'function';

async function run(message) {
  for (const [id, file] of message.files) mount(id, file);
  // The log is named as the user knows it, in the folder it is mounted in,
  // so that the report and the workbook's report sheet say its own name.
  if (message.folder) core.FS.chdir(message.folder);
  lastPercent = -1;
  const result = await call(message.request);
  self.postMessage({type: 'result', id: message.id, result, memory: core.HEAPU8.length});
}

// Calls run one after another: a call waiting for the log must not let the
// next one into the core.
let queue = Promise.resolve();

self.onmessage = (event) => {
  const message = event.data;
  if (message.type === 'init') {
    TrovlinCore({
      instantiateWasm(imports, receive) {
        if (canSuspend) {
          for (const functions of Object.values(imports)) {
            for (const [key, fn] of Object.entries(functions)) {
              if (fn.name === '_fd_read') functions[key] = suspendingRead(fn);
            }
          }
        }
        WebAssembly.instantiate(message.module, imports).then((instance) => {
          if (canSuspend) suspendingCall = WebAssembly.promising(instance.exports[callKey]);
          receive(instance, message.module);
        });
        return {};
      },
      print() {},
      printErr() {},
      pageOutputOpen(name) {
        if (chunk) spare.push(chunk);
        chunk = null;
        used = 0;
        self.postMessage({type: 'open', name});
      },
      pageOutputWrite: gather,
      pageOutputClose: sendChunk,
      pageProgress(read, total) {
        const percent = total > 0 ? Math.floor((read * 100) / total) : 0;
        if (percent !== lastPercent) {
          lastPercent = percent;
          self.postMessage({type: 'progress', percent});
        }
      },
    }).then((instance) => {
      core = instance;
      core.FS.filesystems.WORKERFS.stream_ops.read = readInWindows;
      // A closed log's helper ends with it.
      core.FS.filesystems.WORKERFS.stream_ops.close = (stream) => {
        if (stream.ahead) stream.ahead.helper.terminate();
      };
      core.FS.mkdir('/files');
      self.postMessage({type: 'ready', reads: suspendingCall ? 'stream' : 'sync'});
    });
    return;
  }
  if (message.type === 'spare') spare.push(message.bytes);
  // A call that fails is thrown where the page hears of it (the worker's
  // error), and the queue goes on with the next.
  if (message.type === 'call') {
    queue = queue.then(() => run(message)).catch((error) => setTimeout(() => { throw error; }));
  }
};
