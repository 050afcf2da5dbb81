// The class-set page: the choices are the address, the worksheet libraries (quillora.wasm) check
// them and make every document; this script builds the controls from the libraries' table of
// options and moves settings between the address, the controls and the libraries.
'use strict';

(function () {
  const $ = (id) => document.getElementById(id);
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
  let catalogue = null;
  let made = [];
  // The set being made: a newer one, or a cleared page, drops an older one's remaining work.
  let current = 0;
  // The address of the set shown, for Copy link.
  let address = null;
  // The paper the teacher last chose, kept in this browser.
  const paperKey = 'quillora-paper';

  // The page's own address, where its self-check pages are.
  function site() {
    return location.href.split(/[?#]/)[0];
  }

  function defaultPaper() {
    const language = (navigator.languages && navigator.languages[0]) || navigator.language || '';
    const region = (language.split('-').slice(1).find((part) => /^[A-Za-z]{2}$/.test(part)) || '');
    return letterRegions.includes(region.toUpperCase()) ? 'letter' : 'a4';
  }

  // The paper chosen last in this browser; on a first visit, the language's.
  function preferredPaper() {
    try {
      const paper = localStorage.getItem(paperKey);
      if (paper && $(`paper-${paper}`)) return paper;
    } catch (_) {
      // storage turned off: every visit is a first one
    }
    return defaultPaper();
  }

  function element(tag, attributes, ...children) {
    const node = Object.assign(document.createElement(tag), attributes);
    node.append(...children);
    return node;
  }

  // One control per option the libraries offer the page, in their order.
  function buildControls() {
    for (const option of catalogue.options) {
      const id = option.name;
      const hint = option.hint ? element('p', { id: `${id}-hint`, className: 'hint' }, option.hint)
        : '';
      let block;
      if (option.control === 'checkbox') {
        block = element('div', { className: 'check' },
          element('input', { type: 'checkbox', id, name: id, value: '1' }),
          element('label', { htmlFor: id }, option.label), hint);
      } else if (option.control === 'choice') {
        block = element('fieldset', {}, element('legend', {}, option.label),
          ...option.choices.map((choice) => element('span', { className: 'radio' },
            element('input', { type: 'radio', id: `${id}-${choice}`, name: id, value: choice }),
            element('label', { htmlFor: `${id}-${choice}` },
              choice[0].toUpperCase() + choice.slice(1)))), hint);
      } else {
        const input = element('input', { type: 'text', id, name: id, autocomplete: 'off',
          placeholder: option.placeholder });
        if (option.control === 'number') input.inputMode = 'numeric';
        block = element('div', { className: 'field' },
          element('label', { htmlFor: id }, option.label), input, hint);
      }
      if (option.hint) {
        for (const input of block.querySelectorAll('input'))
          input.setAttribute('aria-describedby', `${id}-hint`);
      }
      $('settings').append(block);
    }
  }

  // The settings the controls hold, as names and values.
  function fromControls() {
    const settings = [['family', $('family').value], ['form', $('form').value]];
    for (const option of catalogue.options) {
      const control = document.querySelector(`[name="${option.name}"]` +
        (option.control === 'choice' ? ':checked' : ''));
      if (!control || control.disabled) continue;
      if (option.control === 'checkbox') settings.push([option.name, control.checked ? '1' : '0']);
      else settings.push([option.name, control.value.trim()]);
    }
    return settings;
  }

  // The controls set to the settings, the first family's and blank ones where the settings name
  // none (the settings of a set made always name its seed).
  function showControls(settings) {
    const value = (name) => (settings.find(([each]) => each === name) || [])[1];
    const family = value('family') || catalogue.families[0].name;
    $('family').value = family;
    showForms(family, value('form'));
    for (const option of catalogue.options) {
      const shown = value(option.name);
      if (option.control === 'checkbox') $(option.name).checked = shown === '1';
      else if (option.control === 'choice') {
        $(`${option.name}-${shown || (option.name === 'paper' ? preferredPaper()
          : option.choices[0])}`).checked = true;
      } else $(option.name).value = shown || '';
    }
  }

  function showForms(familyName, formCode) {
    const family = catalogue.families.find((f) => f.name === familyName);
    const select = $('form');
    select.replaceChildren();
    const choices = family.forms.map((f) => [f.code, `${f.code}: ${f.description}`]);
    choices.push(['mixed', 'mixed: the forms drawn at random']);
    if (!family.default) choices.push(['none', 'none: the title and blank layout only']);
    for (const [code, text] of choices) select.add(new Option(text, code));
    select.value = formCode || family.default || 'mixed';
    describeForm();
    for (const option of catalogue.options) {
      for (const control of document.getElementsByName(option.name)) {
        control.disabled = family.excludes.includes(option.name);
        if (control.disabled && control.type === 'checkbox') control.checked = false;
      }
    }
  }

  function describeForm() {
    const family = catalogue.families.find((f) => f.name === $('family').value);
    const form = family.forms.find((f) => f.code === $('form').value);
    $('form-description').textContent = form ? `Every problem in the form ${form.description}.`
      : $('form').value === 'mixed' ? 'Every form of the family, drawn at random.'
        : 'The title and the blank layout, no problems.';
  }

  // The bytes of the worksheets and, when asked for, the answer key in one format, and what the
  // libraries made of the settings; or an Error with the tool's message.
  function make(settings, format, seed) {
    engine.setSettings(settings);
    const failed = engine.ccall('quillora_make', 'number', ['string', 'number', 'string'],
      [format, seed, site()]);
    const bytes = (start, size) => engine.HEAPU8.slice(start, start + size);
    const sheets = bytes(engine._quillora_result(), engine._quillora_result_size());
    if (failed) throw new Error(decoder.decode(sheets));
    return [sheets, bytes(engine._quillora_key(), engine._quillora_key_size()),
      JSON.parse(engine.UTF8ToString(engine._quillora_summary()))];
  }

  function clearSet() {
    for (const url of made) URL.revokeObjectURL(url);
    made = [];
    ++current;
    for (const format of formats) {
      for (const kind of ['sheets', 'key']) {
        const link = $(`${kind}-${format.name}`);
        link.removeAttribute('href');
        link.removeAttribute('download');
        link.hidden = kind === 'key';
      }
    }
    $('preview').textContent = '';
    $('preview-text').textContent = '';
    $('key-note').hidden = false;
    for (const id of ['check-link', 'check-key-link']) $(id).removeAttribute('href');
    address = null;
    $('copy-link').disabled = true;
    $('copy-note').textContent = '';
    $('check-key-link').hidden = true;
    $('check-version').replaceChildren();
    $('check-version').disabled = true;
  }

  // The self-check links of the chosen version on this page's site: the pupil's page, and with
  // the answer key ticked, the same page with its key code, which lets it show the answers.
  function showCheckLinks() {
    const link = (withKey) => engine.ccall('quillora_check_link', 'string',
      ['string', 'number', 'number'], [site(), Number($('check-version').value), withKey]);
    // a blank sheet ("none") has no self-check page: its links stay inactive
    const show = (id, address) => {
      if (address) $(id).href = address;
      else $(id).removeAttribute('href');
    };
    show('check-link', link(0));
    if (!$('check-key-link').hidden) show('check-key-link', link(1));
  }

  // Links the bytes for download under the name.
  function offer(id, bytes, name, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    made.push(url);
    Object.assign($(id), { href: url, download: name, hidden: false });
  }

  function showError(message) {
    clearSet();
    $('status').textContent = '';
    $('error').textContent = message;
    document.body.dataset.state = 'error';
  }

  // Makes the set the settings name, shows its first version and links every document; returns
  // the address that makes it again, or null. The text comes first, with the preview; the PDF
  // and rich text, the slow part of a large set, once that is on screen.
  function makeSet(settings) {
    clearSet();
    $('error').textContent = '';
    const started = performance.now();
    const set = current;
    document.body.dataset.state = 'making';
    try {
      // A seed for a set that names none: the libraries take it only then.
      const seed = crypto.getRandomValues(new Uint32Array(1))[0];
      const [text, textKey, summary] = make(settings, 'text', seed);
      const keys = textKey.length > 0;
      const offerFormat = (format, sheets, key) => {
        offer(`sheets-${format.name}`, sheets, `${summary.stem}.${format.ext}`, format.type);
        if (keys) offer(`key-${format.name}`, key, `${summary.stem}-answers.${format.ext}`, format.type);
      };
      // every link in its place at once, so none moves when the others' documents come
      for (const format of formats) $(`key-${format.name}`).hidden = !keys;
      offerFormat(formats.find((format) => format.name === 'text'), text, textKey);
      $('key-note').hidden = keys;
      $('check-version').append(...Array.from({ length: summary.versions },
        (_, i) => new Option(`Version ${i + 1}`, String(i + 1))));
      $('check-version').disabled = summary.versions === 1;
      $('check-key-link').hidden = !keys;
      showCheckLinks();
      const whole = decoder.decode(text);
      const end = whole.indexOf('\f');
      $('preview-text').textContent = end < 0 ? whole : whole.slice(0, end);
      $('preview').innerHTML = engine.UTF8ToString(engine._quillora_preview());
      const last = (summary.seed + summary.versions - 1) % 4294967296;
      $('status').textContent = summary.versions === 1 ? `Seed ${summary.seed}.`
        : `Seed ${summary.seed}, ${summary.versions} versions: seeds ${summary.seed} to ${last}; ` +
          'the first is shown.';
      showControls(summary.settings);
      const query = '?' + new URLSearchParams(summary.settings).toString();
      address = new URL(query, location.href).href;
      $('copy-link').disabled = false;
      // once the frame that shows the preview is rendered, as the next one starts
      requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(() => {
        if (set !== current) return;
        try {
          for (const format of formats.filter((each) => each.name !== 'text'))
            offerFormat(format, ...make(summary.settings, format.name, seed));
        } catch (failure) {
          showError(failure.message);
          return;
        }
        performance.measure('quillora-make', { start: started });
        document.body.dataset.state = 'made';
      })));
      return query;
    } catch (failure) {
      showError(failure.message);
      return null;
    }
  }

  // The set the address names, at once; the controls alone when it names none. The paper comes
  // from the browser's language unless the address names one.
  function fromAddress() {
    if (!location.search) {
      clearSet();
      $('status').textContent = 'Choose, then press Make.';
      $('error').textContent = '';
      document.body.dataset.state = 'ready';
      return;
    }
    const settings = [...new URLSearchParams(location.search)];
    if (!settings.some(([name]) => name === 'paper')) settings.push(['paper', preferredPaper()]);
    const query = makeSet(settings);
    // A bad address keeps its message, with the controls showing what in it is valid.
    if (!query) {
      showControls(JSON.parse(engine.UTF8ToString(engine._quillora_valid())).settings);
      // below the controls on a phone: scrolled up just enough to be read
      $('error').scrollIntoView({ block: 'nearest' });
    } else if (query !== location.search) history.replaceState(null, '', query);
  }

  // Copies the set's address, by the clipboard interface or, where the page has none (served
  // over plain HTTP), by the older copy command.
  async function copyLink() {
    let copied = false;
    try {
      await navigator.clipboard.writeText(address);
      copied = true;
    } catch (_) {
      const field = element('textarea', { value: address });
      document.body.append(field);
      field.select();
      copied = document.execCommand('copy');
      field.remove();
    }
    $('copy-note').textContent = copied ? 'Link copied.' : 'Copy the address from the address bar.';
  }

  async function start() {
    try {
      engine = await createQuillora();
    } catch (failure) {
      $('status').textContent = '';
      $('error').textContent = 'The worksheet maker could not be loaded: ' + failure;
      document.body.dataset.state = 'error';
      return;
    }
    catalogue = JSON.parse(engine.UTF8ToString(engine._quillora_catalogue()));
    buildControls();
    for (const family of catalogue.families) $('family').add(new Option(family.menu, family.name));
    showControls([]);
    for (const radio of document.getElementsByName('paper')) {
      radio.addEventListener('change', () => {
        try {
          localStorage.setItem(paperKey, radio.value);
        } catch (_) {
          // storage turned off: nothing to remember it in
        }
      });
    }
    $('copy-link').addEventListener('click', copyLink);
    $('family').addEventListener('change', () => showForms($('family').value, null));
    $('form').addEventListener('change', describeForm);
    $('check-version').addEventListener('change', showCheckLinks);
    // Typeset or plain text: the same first version either way.
    $('show-text').addEventListener('click', () => {
      const text = $('preview').hidden = !$('preview').hidden;
      $('preview-text').hidden = !text;
      $('show-text').setAttribute('aria-pressed', String(text));
    });
    $('choices').addEventListener('submit', (event) => {
      event.preventDefault();
      const query = makeSet(fromControls());
      if (!query) return;
      history.pushState(null, '', query);
      // On a narrow screen the set shows below the controls: bring it up.
      if ($('result').getBoundingClientRect().top > innerHeight / 2) $('result').scrollIntoView();
    });
    window.addEventListener('popstate', fromAddress);
    for (const id of ['family', 'form', 'make']) $(id).disabled = false;
    fromAddress();
    performance.mark('quillora-ready');
  }

  // An address with check is a pupil's self-check page, which check.js shows.
  if (!new URLSearchParams(location.search).has('check')) start();
})();
