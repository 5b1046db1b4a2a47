// The live view's page: plain tables that the script fills from the server's events and ages
// once a second by the server's clock.
#include "server/liveview.h"
#include "server/pagekit.h"

namespace talmor::server {

namespace {

const char kBody[] = R"(<h2>值班监控（培训）</h2>
<p id="state">正在连接…</p>
<h3>在线值班员</h3>
<table id="consoles"><thead><tr><th>值班员</th><th>状态</th><th>状态开始</th><th>登录时间</th></tr></thead><tbody></tbody></table>
<h3>等待接听的呼叫（共 <span id="waitingTotal">0</span> 个）</h3>
<table id="waiting"><thead><tr><th>类别</th><th>等待数</th><th>最久等待</th></tr></thead><tbody></tbody></table>
<h3>已接听未报告（共 <span id="takenTotal">0</span> 个）</h3>
<table id="taken"><thead><tr><th>呼叫编号</th><th>类别</th><th>呼叫人</th><th>值班员</th><th>接听用时</th><th>已处理</th></tr></thead><tbody></tbody></table>
<h3>今日值班员统计</h3>
<table id="operators"><thead><tr><th>值班员</th><th>接听数</th><th>接听用时中位数</th><th>90%接听用时</th><th>已报告</th></tr></thead><tbody></tbody></table>
)";

// Amber past 60 seconds and red past 180 for an SOS call, as on the console's status line.
const char kScript[] = R"(
const SOS = 1, AMBER = 60, RED = 180;
let picture = null, offset = 0, updates = 0;
function esc(text) {
  return String(text).replace(/[&<>"']/g, c => ({'&':'&amp;','<':'&lt;','>':'&gt;','"':'&quot;',"'":'&#39;'}[c]));
}
function span(ms) {
  const s = Math.max(0, Math.floor(ms / 1000)), h = Math.floor(s / 3600), m = Math.floor(s / 60) % 60;
  const two = n => String(n).padStart(2, '0');
  return h > 0 ? h + '小时' + two(m) + '分' + two(s % 60) + '秒' : m > 0 ? m + '分' + two(s % 60) + '秒' : s + '秒';
}
function clock(ms) { return new Date(ms).toLocaleTimeString('zh-CN', {hour12: false}); }
function rows(id, html) { document.querySelector('#' + id + ' tbody').innerHTML = html; }
function who(id, nick) { return esc(id) + ' ' + esc(nick); }
function render() {
  if (!picture) return;
  const now = Date.now() - offset;
  rows('consoles', picture.consoles.map(c => '<tr data-operator="' + c.operator + '"><td>' +
    who(c.operator, c.nick) + '</td><td class="status">' + esc(c.status) + '</td><td>' + clock(c.since) +
    '（' + span(now - c.since) + '）</td><td>' + clock(c.login) + '</td></tr>').join(''));
  document.getElementById('waitingTotal').textContent = picture.waitingTotal;
  rows('waiting', picture.waiting.map(w => {
    const age = (now - w.oldest) / 1000;
    const level = w.category !== SOS ? '' : age > RED ? 'red' : age > AMBER ? 'amber' : '';
    return '<tr data-category="' + w.category + '" class="' + level + '"><td>' + esc(w.name) +
      '</td><td class="count">' + w.count + '</td><td>' + span(now - w.oldest) + '</td></tr>';
  }).join(''));
  document.getElementById('takenTotal').textContent = picture.takenTotal;
  rows('taken', picture.taken.map(t => '<tr data-call="' + t.callId + '"><td>' + t.callId +
    '</td><td>' + esc(t.category) + '</td><td>' + esc(t.caller) + '</td><td>' + who(t.operator, t.nick) +
    '</td><td>' + span(t.taken - t.arrived) + '</td><td>' + span(now - t.taken) + '</td></tr>').join(''));
  rows('operators', picture.operators.map(o => '<tr data-operator="' + o.operator + '"><td>' +
    who(o.operator, o.nick) + '</td><td class="taken">' + o.taken + '</td><td>' + span(o.medianMs) +
    '</td><td>' + span(o.p90Ms) + '</td><td class="reports">' + o.reports + '</td></tr>').join(''));
}
const events = new EventSource('/supervisor/events');
events.onmessage = (event) => {
  picture = JSON.parse(event.data);
  offset = Date.now() - picture.now;
  document.body.dataset.updates = ++updates;
  document.getElementById('state').textContent = '已连接，' + clock(picture.now) + ' 更新';
  render();
};
events.onerror = () => { document.getElementById('state').textContent = '连接中断，正在重新连接…'; };
setInterval(render, 1000);
)";

} // namespace

QByteArray liveViewPage() {
    return htmlPage(QString::fromUtf8("值班监控"), QString::fromUtf8(kBody),
                    QString::fromUtf8(kScript))
        .toUtf8();
}

} // namespace talmor::server
