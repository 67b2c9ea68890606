#include "web/ScreenPage.h"

#include "web/HtmlParts.h"

namespace {

const QString kStyle = QStringLiteral(R"css(
*{box-sizing:border-box}
body{margin:0;font-family:sans-serif;background:#15181c;color:#eee;font-size:20px}
button{font:inherit;border:0;border-radius:.3em;cursor:pointer}
#ust{display:flex;align-items:center;gap:.8em;padding:.3em .6em;background:#24405e}
#ust h1{flex:1;margin:0;font-size:1.4em}
#saat{font-size:1.3em;font-variant-numeric:tabular-nums}
#geri{padding:.35em .9em;background:#eee;color:#111}
#uyari{padding:.4em .6em;background:#9a6400;font-size:1.2em}
#sayim{display:flex;flex-wrap:wrap;gap:.2em 1em;padding:.3em .6em;background:#20262d;font-size:1.15em;min-height:1.9em}
#sayim b{color:#ffd54f}
#kartlar{display:grid;grid-template-columns:repeat(auto-fill,minmax(290px,1fr));gap:.5em;padding:.5em;align-items:start}
.kart{background:#fafafa;color:#111;border-radius:.4em;border-top:.7em solid #2e7d32;overflow:hidden}
.kart.sari{border-top-color:#f9a825}.kart.kirmizi{border-top-color:#c62828;background:#fff1f1}
.kart.iptal{border-top-color:#c62828;background:#ffe0e0}
.kart header{display:flex;justify-content:space-between;gap:.5em;padding:.3em .5em 0;font-weight:bold;font-size:1.15em}
.kart .etiket{color:#c62828}
.kart .sure{font-variant-numeric:tabular-nums}
.kart .bilgi{padding:0 .5em .2em;color:#333;font-size:.95em}
.kart .bilgi div:nth-child(3){font-size:1.2em;font-weight:bold;color:#111}
.kart ul{list-style:none;margin:0;padding:0 .5em}
.kart li{padding:.35em 0;border-top:1px solid #ddd;font-size:1.3em;cursor:pointer}
.kart li b{display:inline-block;min-width:2.2em}
.kart li small{display:block;padding-left:2.2em;font-size:.75em;color:#8a4b00}
.kart li.cizili{text-decoration:line-through;color:#999}
.kart li.iptal{text-decoration:line-through;color:#c62828}
.kart li.iptal::after{content:" İPTAL";font-size:.7em;font-weight:bold}
.kart .hazir{display:block;width:100%;margin-top:.3em;padding:.5em;border-radius:0;background:#2e7d32;color:#fff;font-size:1.3em}
#ses{position:fixed;inset:0;display:flex;align-items:center;justify-content:center;padding:1em;background:rgba(0,0,0,.85);font-size:2em;text-align:center}
)css");

const QByteArray kScript = R"js((function () {
  'use strict';
  var body = document.body, name = body.dataset.name, key = body.dataset.key,
      token = body.dataset.token, base = '/ekran/' + encodeURIComponent(name);
  var board = document.getElementById('kartlar'), counts = document.getElementById('sayim'),
      notice = document.getElementById('uyari'), sound = document.getElementById('ses'),
      clock = document.getElementById('saat');
  var stream = 0, offset = 0, yellow = 8, red = 15, cards = [], known = null, audio = null;
  var lost = false, standby = '', problem = '';

  function post(action, fields) {
    var form = new URLSearchParams(fields || {});
    form.set('akis', stream);
    if (key) form.set('anahtar', key); else form.set('token', token);
    return fetch(base + '/' + action, {method: 'POST', body: form}).catch(function () {});
  }
  function make(tag, className, text) {
    var element = document.createElement(tag);
    if (className) element.className = className;
    if (text !== undefined) element.textContent = text;
    return element;
  }
  function since(card) { return Date.now() + offset - (card.shown || card.created); }
  function timer(card) {
    var seconds = Math.max(0, Math.floor(since(card) / 1000));
    return Math.floor(seconds / 60) + ':' + String(seconds % 60).padStart(2, '0');
  }
  function age(card) {
    var minutes = since(card) / 60000;
    if (card.cancellation) return 'iptal';
    return minutes >= red ? 'kirmizi' : minutes >= yellow ? 'sari' : 'yeni';
  }
  function drawCard(card) {
    var box = make('article', 'kart ' + age(card)), head = make('header'),
        info = make('div', 'bilgi'), list = make('ul');
    box.dataset.id = card.id;
    head.append(make('span', card.cancellation ? 'etiket' : '',
                     card.cancellation ? 'İPTAL' : card.title),
                make('span', 'sure', timer(card)));
    card.header.forEach(function (line) { info.append(make('div', '', line)); });
    card.items.forEach(function (item, index) {
      var row = make('li', item.cancelled ? 'iptal' : item.crossedOff ? 'cizili' : '');
      row.append(make('b', '', item.quantity), document.createTextNode(' ' + item.name));
      if (item.note) row.append(make('small', '', item.note));
      row.addEventListener('click', function () { post('ciz', {kart: card.id, kalem: index}); });
      list.append(row);
    });
    card.lines.forEach(function (line) { list.append(make('li', '', line)); });
    var ready = make('button', 'hazir', 'Hazır');
    ready.addEventListener('click', function () { post('hazir', {kart: card.id}); });
    box.append(head, info, list, ready);
    return box;
  }
  function drawCounts() {
    var open = {};
    cards.forEach(function (card) {
      if (card.cancellation) return;
      card.items.forEach(function (item) {
        if (item.cancelled || item.crossedOff) return;
        var quantity = parseFloat(String(item.quantity).replace(',', '.'));
        open[item.name] = (open[item.name] || 0) + (isNaN(quantity) ? 1 : quantity);
      });
    });
    var names = Object.keys(open).sort(function (a, b) { return open[b] - open[a]; });
    counts.replaceChildren.apply(counts, names.map(function (item) {
      var entry = make('span');
      entry.append(make('b', '', String(open[item]).replace('.', ',')), ' ' + item);
      return entry;
    }));
  }
  function drawNotice() {
    var text = lost ? 'Sunucuyla bağlantı koptu, yeniden bağlanılıyor…'
             : standby ? 'Bu sunucu yedekte; siparişler etkin sunucuya gider. ' + standby
             : problem;
    notice.textContent = text;
    notice.hidden = !text;
  }
  function tick() {
    clock.textContent = new Date(Date.now() + offset).toLocaleTimeString('tr-TR',
        {hour: '2-digit', minute: '2-digit'});
    board.querySelectorAll('.kart').forEach(function (box) {
      var card = cards.find(function (c) { return String(c.id) === box.dataset.id; });
      if (!card) return;
      box.className = 'kart ' + age(card);
      box.querySelector('.sure').textContent = timer(card);
    });
  }
  function confirmDrawn() {
    // A page that is hidden or asleep draws nothing: its tickets go to paper.
    requestAnimationFrame(function () {
      if (document.visibilityState === 'visible')
        post('cizildi', {kartlar: cards.map(function (card) { return card.id; }).join(',')});
    });
  }
  function tone() {
    if (!audio) return;
    var start = audio.currentTime;
    [0, 0.3].forEach(function (delay) {
      var oscillator = audio.createOscillator(), gain = audio.createGain();
      oscillator.frequency.value = 880;
      gain.gain.setValueAtTime(0.0001, start + delay);
      gain.gain.exponentialRampToValueAtTime(0.5, start + delay + 0.02);
      gain.gain.exponentialRampToValueAtTime(0.0001, start + delay + 0.25);
      oscillator.connect(gain).connect(audio.destination);
      oscillator.start(start + delay);
      oscillator.stop(start + delay + 0.26);
    });
  }

  sound.addEventListener('click', function () {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (Context) { audio = new Context(); audio.resume(); tone(); }
    sound.hidden = true;
  });
  document.getElementById('geri').addEventListener('click', function () { post('geri-al'); });
  var events = new EventSource(base + '/akis' + (key ? '?anahtar=' + encodeURIComponent(key) : ''));
  events.onmessage = function (event) {
    var state = JSON.parse(event.data);
    stream = state.stream;
    offset = state.now - Date.now();
    yellow = state.yellow;
    red = state.red;
    lost = false;
    standby = state.notice;
    problem = state.error || '';
    drawNotice();
    if (!state.cards) return;
    var fresh = state.cards.some(function (card) { return known && !known.has(card.id); });
    known = new Set(state.cards.map(function (card) { return card.id; }));
    cards = state.cards;
    board.replaceChildren.apply(board, cards.map(drawCard));
    drawCounts();
    tick();
    if (fresh) tone();
    confirmDrawn();
  };
  events.onerror = function () { lost = true; drawNotice(); };
  setInterval(tick, 1000);
  setInterval(confirmDrawn, 5000);
  tick();
})();
)js";

} // namespace

namespace ScreenPage {

QString Html(const QString& name, const QByteArray& key, const QByteArray& token) {
    using HtmlParts::Esc;
    return QStringLiteral("<!DOCTYPE html><html lang=\"tr\"><head><meta charset=\"utf-8\">"
                          "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
                          "<title>") +
           Esc(name) + QStringLiteral(" ekranı - Velmora</title><style>") + kStyle +
           QStringLiteral("</style></head><body data-name=\"") + Esc(name) +
           QStringLiteral("\" data-key=\"") + Esc(QString::fromLatin1(key)) +
           QStringLiteral("\" data-token=\"") + Esc(QString::fromLatin1(token)) +
           QStringLiteral("\"><div id=\"ust\"><h1>") + Esc(name) +
           QStringLiteral("</h1><span id=\"saat\"></span><button id=\"geri\">Geri al</button>"
                          "</div><div id=\"uyari\" hidden></div><div id=\"sayim\"></div>"
                          "<main id=\"kartlar\"></main><div id=\"ses\" role=\"button\">Yeni "
                          "siparişte ses için ekrana bir kez dokunun</div>"
                          "<script src=\"/ekran.js\"></script></body></html>");
}

QByteArray Script() {
    return kScript;
}

} // namespace ScreenPage
