// SPDX-License-Identifier: GPL-3.0-or-later
// The page around the game (index.html) and around the benchmarks
// (bench.html): where the program finds its files, the loading notice, the
// notice when the game has ended, and what tests read back.
'use strict';
(function () {
  const script = document.currentScript;
  const versions = JSON.parse(script.dataset.files || '{}');
  const page = document.body.dataset.page;
  const params = new URLSearchParams(location.search);
  // What the program printed, for the tests and the benchmark's page.
  const lines = [];

  const Module = {
    // Files are asked for by their build's version, so a browser may keep
    // them and never mixes two builds.
    locateFile: (path, prefix) => prefix + path + (versions[path] ? '?v=' + versions[path] : ''),
    print: (text) => {
      lines.push(text);
      console.log(text);
    },
    printErr: (text) => {
      lines.push(text);
      console.warn(text);
    },
    printed: lines,
  };
  window.Module = Module;

  if (page === 'bench') {
    const output = document.getElementById('output');
    Module.arguments = params.getAll('arg');
    Module.print = (text) => {
      lines.push(text);
      output.textContent += text + '\n';
    };
    Module.postRun = [() => { Module.finished = true; }];
    // The package, then the program the address names, in that order.
    const program = ['gameplay_bench', 'replay_run_bench'].includes(params.get('program'))
      ? params.get('program') : 'gameplay_bench';
    for (const name of ['bench-data.js', program + '.js']) {
      const loaded = document.createElement('script');
      loaded.src = Module.locateFile(name, '');
      loaded.async = false;
      document.body.appendChild(loaded);
    }
    return;
  }

  const canvas = document.getElementById('canvas');
  const loading = document.getElementById('loading');
  const loadingText = document.getElementById('loading-text');
  const loadingBar = document.getElementById('loading-bar');
  const ended = document.getElementById('ended');
  Module.canvas = canvas;
  // The right button is the game's, not the page's menu.
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());

  Module.setStatus = (text) => {
    if (!text) {
      loading.hidden = true;
      return;
    }
    // The data package says "Downloading data... (done/total)".
    const progress = /\((\d+(?:\.\d+)?)\/(\d+)\)/.exec(text);
    if (progress) {
      loadingBar.max = Number(progress[2]);
      loadingBar.value = Number(progress[1]);
    }
    loadingText.textContent = text.replace(/\s*\(.*\)$/, '').replace('...', '…') || 'Loading…';
  };
  Module.onRuntimeInitialized = () => {
    loading.hidden = true;
    canvas.focus();
  };
  Module.onAbort = (what) => {
    loading.hidden = false;
    loadingBar.hidden = true;
    loadingText.textContent = 'Zarvenok could not start here: ' + what;
  };
  Module.onGameEnded = (status) => {
    Module.endedWith = status;
    ended.hidden = false;
    document.getElementById('ended-text').textContent =
      status === 0 ? 'Thanks for playing Zarvenok.' : 'Zarvenok has stopped (see the console for why).';
  };
  document.getElementById('again').addEventListener('click', () => location.reload());
})();
