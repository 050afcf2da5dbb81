// The class-set page: the choices are the address, the worksheet libraries (quillora.wasm) make
// every document; this script only moves values between the address, the controls and them.
'use strict';

(function () {
  const $ = (id) => document.getElementById(id);
  const settings = ['family', 'form', 'seed', 'versions', 'distinct', 'answers', 'paper',
    'fraction-answers'];
  const flags = { distinct: 'distinct', answers: 'answers', 'fraction-answers': 'fractionAnswers' };
  // Where Letter paper is the usual size; A4 everywhere else.
  const letterRegions = ['US', 'CA', 'MX', 'PH', 'CL', 'CO', 'VE', 'CR', 'GT', 'PA', 'PR', 'DO',
    'SV', 'NI', 'HN', 'BZ'];
  // Each format's worksheets and answer key come from one call.
  const formats = [
    { name: 'pdf', ext: 'pdf', type: 'application/pdf' },
    { name: 'rtf', ext: 'rtf', type: 'application/rtf' },
    { name: 'text', ext: 'txt', type: 'text/plain;charset=utf-8' },
  ];
  const decoder = new TextDecoder();
  let engine = null;
  let catalogue = [];
  let made = [];

  function defaultPaper() {
    const language = (navigator.languages && navigator.languages[0]) || navigator.language || '';
    const region = (language.split('-').slice(1).find((part) => /^[A-Za-z]{2}$/.test(part)) || '');
    return letterRegions.includes(region.toUpperCase()) ? 'letter' : 'a4';
  }

  // The bytes of the worksheets and, when asked for, the answer key in one format; or an Error
  // with the tool's message.
  function make(request, format) {
    const failed = engine.ccall('quillora_make', 'number',
      ['string', 'string', 'string', 'string', 'string', 'string', 'number', 'number', 'number'],
      [request.family, request.form, request.seed, request.versions, request.paper, format,
        request.distinct, request.fractionAnswers, request.answers]);
    const bytes = (start, size) => engine.HEAPU8.slice(start, start + size);
    const sheets = bytes(engine._quillora_result(), engine._quillora_result_size());
    if (failed) throw new Error(decoder.decode(sheets));
    return [sheets, bytes(engine._quillora_key(), engine._quillora_key_size())];
  }

  // A request from the address's query: raw values for the libraries to judge, or an Error.
  function fromQuery(query) {
    const request = { family: null, form: null, seed: '', versions: '1', paper: defaultPaper(),
      distinct: 0, answers: 0, fractionAnswers: 0 };
    const seen = new Set();
    for (const [key, value] of new URLSearchParams(query)) {
      if (!settings.includes(key))
        throw new Error(`unknown setting '${key}' (${settings.join(', ')})`);
      if (seen.has(key)) throw new Error(`setting '${key}' given twice`);
      seen.add(key);
      if (key in flags) {
        if (value !== '0' && value !== '1') throw new Error(`invalid ${key} '${value}' (1 or 0)`);
        request[flags[key]] = Number(value);
      } else {
        request[key] = value;
      }
    }
    return request;
  }

  function fromControls() {
    const checked = (id) => ($(id).checked ? 1 : 0);
    return { family: $('family').value, form: $('form').value, seed: $('seed').value.trim(),
      versions: $('versions').value.trim(), paper: $('paper-letter').checked ? 'letter' : 'a4',
      distinct: checked('distinct'), answers: checked('answers'),
      fractionAnswers: checked('fraction-answers') };
  }

  function toQuery(request) {
    const query = new URLSearchParams({ family: request.family, form: request.form,
      seed: request.seed, versions: request.versions });
    if (request.distinct) query.set('distinct', '1');
    if (request.answers) query.set('answers', '1');
    query.set('paper', request.paper);
    if (request.fractionAnswers) query.set('fraction-answers', '1');
    return '?' + query.toString();
  }

  function showForms(familyName, formCode) {
    const family = catalogue.find((f) => f.name === familyName);
    const select = $('form');
    select.replaceChildren();
    const choices = family.forms.map((f) => [f.code, `${f.code}: ${f.description}`]);
    choices.push(['mixed', 'mixed: the forms drawn at random']);
    if (!family.default) choices.push(['none', 'none: the title and blank layout only']);
    for (const [code, text] of choices) select.add(new Option(text, code));
    select.value = formCode || family.default || 'mixed';
    describeForm();
    const fraction = $('fraction-answers');
    fraction.disabled = !family.forms.some((f) => f.fraction);
    if (fraction.disabled) fraction.checked = false;
  }

  function describeForm() {
    const family = catalogue.find((f) => f.name === $('family').value);
    const form = family.forms.find((f) => f.code === $('form').value);
    $('form-description').textContent = form ? `Every problem in the form ${form.description}.`
      : $('form').value === 'mixed' ? 'Every form of the family, drawn at random.'
        : 'The title and the blank layout, no problems.';
  }

  function showControls(request) {
    $('family').value = request.family;
    showForms(request.family, request.form);
    $('versions').value = request.versions;
    $('distinct').checked = request.distinct === 1;
    $('answers').checked = request.answers === 1;
    $('fraction-answers').checked = request.fractionAnswers === 1;
    $('paper-' + request.paper).checked = true;
  }

  function clearSet() {
    for (const url of made) URL.revokeObjectURL(url);
    made = [];
    for (const format of formats) {
      for (const kind of ['sheets', 'key']) {
        const link = $(`${kind}-${format.name}`);
        link.removeAttribute('href');
        link.removeAttribute('download');
        link.hidden = kind === 'key';
      }
    }
    $('preview').textContent = '';
    $('key-note').hidden = false;
  }

  // Links the bytes for download under the name.
  function offer(id, bytes, name, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    made.push(url);
    Object.assign($(id), { href: url, download: name, hidden: false });
  }

  // Makes the set the request names, shows its first version and links every document.
  function makeSet(request) {
    clearSet();
    $('error').textContent = '';
    const started = performance.now();
    try {
      if (request.seed === '')
        request.seed = String(crypto.getRandomValues(new Uint32Array(1))[0]);
      const [text, textKey] = make(request, 'text');
      // Canonical values for the names and the address: the libraries accepted them.
      request.seed = String(Number(request.seed));
      request.versions = String(Number(request.versions));
      request.form = request.form ?? catalogue.find((f) => f.name === request.family).default;
      const stem = `${request.family}-${request.form}-seed-${request.seed}` +
        (request.versions === '1' ? '' : `-x${request.versions}`);
      for (const format of formats) {
        const [sheets, key] = format.name === 'text' ? [text, textKey] : make(request, format.name);
        offer(`sheets-${format.name}`, sheets, `${stem}.${format.ext}`, format.type);
        if (request.answers)
          offer(`key-${format.name}`, key, `${stem}-answers.${format.ext}`, format.type);
      }
      $('key-note').hidden = request.answers === 1;
      const whole = decoder.decode(text);
      const end = whole.indexOf('\f');
      $('preview').textContent = end < 0 ? whole : whole.slice(0, end);
      const count = Number(request.versions);
      const last = (Number(request.seed) + count - 1) % 4294967296;
      $('status').textContent = count === 1 ? `Seed ${request.seed}.`
        : `Seed ${request.seed}, ${count} versions: seeds ${request.seed} to ${last}; the first is shown.`;
      showControls(request);
      performance.measure('quillora-make', { start: started });
      document.body.dataset.state = 'made';
      return toQuery(request);
    } catch (failure) {
      clearSet();
      $('status').textContent = '';
      $('error').textContent = failure.message;
      document.body.dataset.state = 'error';
      return null;
    }
  }

  // The set the address names, at once; the controls alone when it names none.
  function fromAddress() {
    if (!location.search) {
      clearSet();
      $('status').textContent = 'Choose, then press Make.';
      $('error').textContent = '';
      document.body.dataset.state = 'ready';
      return;
    }
    let request;
    try {
      request = fromQuery(location.search);
    } catch (failure) {
      clearSet();
      $('status').textContent = '';
      $('error').textContent = failure.message;
      document.body.dataset.state = 'error';
      return;
    }
    $('seed').value = request.seed;
    const query = makeSet(request);
    if (query && query !== location.search) history.replaceState(null, '', query);
  }

  async function start() {
    try {
      engine = await createQuillora();
    } catch (failure) {
      $('status').textContent = '';
      $('error').textContent = 'The worksheet maker could not be loaded: ' + failure;
      return;
    }
    catalogue = JSON.parse(engine.UTF8ToString(engine._quillora_catalogue()));
    for (const family of catalogue) $('family').add(new Option(family.menu, family.name));
    showForms(catalogue[0].name, null);
    $('paper-' + defaultPaper()).checked = true;
    $('family').addEventListener('change', () => showForms($('family').value, null));
    $('form').addEventListener('change', describeForm);
    $('choices').addEventListener('submit', (event) => {
      event.preventDefault();
      const query = makeSet(fromControls());
      if (query) history.pushState(null, '', query);
    });
    window.addEventListener('popstate', fromAddress);
    for (const id of ['family', 'form', 'make']) $(id).disabled = false;
    fromAddress();
    performance.mark('quillora-ready');
  }

  start();
})();
