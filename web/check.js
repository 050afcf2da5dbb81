// A pupil's self-check page: an address with check=1 names one sheet; the worksheet libraries
// show its problems, mark the typed answers and, only when the address carries the sheet's key
// code, show its answers. Nothing leaves the browser.
'use strict';

(function () {
  const $ = (id) => document.getElementById(id);
  const settings = [...new URLSearchParams(location.search)];
  if (!settings.some(([name]) => name === 'check')) return;

  const shown = { right: 'Right', wrong: 'Wrong', unreadable: 'Cannot read this' };
  let engine = null;
  let count = 0;

  function fail(message) {
    $('check-error').textContent = message;
    $('answers').hidden = true;
    document.body.dataset.state = 'error';
  }

  // The sheet's problems, each with a labelled answer box and a place for its mark.
  function showSheet(summary) {
    $('check-sheet').innerHTML = engine.UTF8ToString(engine._quillora_preview());
    const title = $('check-sheet').querySelector('h3');
    document.title = `Check: ${title ? title.textContent : 'worksheet'}`;
    $('check-label').textContent = summary.label;
    $('check-hint').textContent = summary.hint;
    $('check-sheet').querySelectorAll('li').forEach((item, i) => {
      const n = i + 1;
      const input = Object.assign(document.createElement('input'), {
        type: 'text', id: `answer-${n}`, maxLength: 200, autocomplete: 'off',
        autocapitalize: 'off', spellcheck: false, enterKeyHint: 'done' });
      input.setAttribute('aria-describedby', `mark-${n}`);
      const label = Object.assign(document.createElement('label'),
        { htmlFor: input.id, className: 'visually-hidden', textContent: `Answer ${n}` });
      const mark = Object.assign(document.createElement('span'), { id: `mark-${n}`,
        className: 'mark' });
      const answer = Object.assign(document.createElement('span'), { className: 'answer' });
      answer.append(label, input, mark);
      item.append(answer);
    });
    count = summary.problems;
  }

  // Marks every answer in place and counts the right ones.
  function check(event) {
    event.preventDefault();
    const typed = [];
    // one answer a line; a NUL would end the text the libraries read, so it goes in as a
    // character they cannot read; past 200 characters an answer is too long whatever follows,
    // so no more than 201 go in (a box filled by a script must not overrun the call)
    for (let n = 1; n <= count; ++n) {
      const answer = $(`answer-${n}`).value.slice(0, 201);
      typed.push(answer.replace(/\n/g, ' ').replace(/\0/g, '\uFFFD'));
    }
    const started = performance.now();
    const marked = JSON.parse(engine.UTF8ToString(
      engine.ccall('quillora_mark', 'number', ['string'], [typed.join('\n')])));
    performance.measure('quillora-mark', { start: started });
    marked.marks.forEach(([verdict, reason], i) => {
      const mark = $(`mark-${i + 1}`);
      mark.className = `mark ${verdict}`;
      mark.textContent = typed[i].trim() === '' ? 'No answer yet'
        : shown[verdict] + (reason ? `: ${reason}` : '');
    });
    $('check-count').textContent = `${marked.right} of ${count} right`;
    document.body.dataset.state = 'marked';
  }

  function showKey() {
    $('check-key').innerHTML = engine.UTF8ToString(engine._quillora_check_key());
    $('check-key').hidden = false;
    $('show-key').setAttribute('aria-expanded', 'true');
    $('show-key').hidden = true;
  }

  async function start() {
    document.body.classList.add('checking');
    $('check').hidden = false;
    try {
      engine = await createQuillora();
    } catch (failure) {
      fail('The worksheet could not be loaded: ' + failure);
      return;
    }
    engine.setSettings(settings);
    if (engine._quillora_check()) {
      fail(engine.UTF8ToString(engine._quillora_result()));
      return;
    }
    const summary = JSON.parse(engine.UTF8ToString(engine._quillora_summary()));
    showSheet(summary);
    $('answers').addEventListener('submit', check);
    $('check-button').disabled = false;
    if (summary.key) {
      $('show-key').hidden = false;
      $('show-key').addEventListener('click', showKey);
    }
    // One marking of sample answers while the pupil reads: the browser compiles the marker's
    // code on its first use, which then no pupil's Check waits for.
    engine.ccall('quillora_mark', 'number', ['string'],
      [Array(count).fill('-(2x + 1)(x - 3)^2 = 1 1/2').join('\n')]);
    document.body.dataset.state = 'ready';
  }

  start();
})();
