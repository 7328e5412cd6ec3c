// The page's plans: zoom, pan and a tooltip per member. Each plan's paths
// carry their members' keys (data-keys) and subpath counts (data-parts,
// 1 each when absent); the members' design results, problems and openings
// (and, on a comparison's page, what changed) are in the JSON beside the
// plan, one entry per member in the same order.
(function () {
  'use strict';
  var fields = {};
  document.querySelectorAll('script.plan-fields').forEach(function (s) {
    Object.assign(fields, JSON.parse(s.textContent));
  });
  var tip = document.getElementById('tip');
  var broken = [];
  var memberCount = 0;

  // The subpaths of a path as the plan writer writes it: M, L (with
  // further pairs), h0 (a dot) and Z.
  function subpaths(d) {
    var tokens = d.match(/[MLZh]|[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?/g) || [];
    var list = [], current = null, command = '';
    for (var i = 0; i < tokens.length;) {
      var t = tokens[i];
      if (t === 'M' || t === 'L' || t === 'h' || t === 'Z') {
        command = t;
        if (t === 'Z' && current) current.closed = true;
        i++;
      } else if (command === 'M') {
        current = { points: [+t, +tokens[i + 1]], closed: false };
        list.push(current);
        command = 'L';
        i += 2;
      } else if (command === 'L' && current) {
        current.points.push(+t, +tokens[i + 1]);
        i += 2;
      } else {
        i++; // the length of h0
      }
    }
    return list;
  }

  function segmentDistance(px, py, ax, ay, bx, by) {
    var dx = bx - ax, dy = by - ay, l = dx * dx + dy * dy;
    var t = l > 0 ? Math.max(0, Math.min(1, ((px - ax) * dx + (py - ay) * dy) / l)) : 0;
    return Math.hypot(px - ax - t * dx, py - ay - t * dy);
  }

  function inside(p, x, y) {
    var n = p.length / 2, c = false;
    for (var i = 0, j = n - 1; i < n; j = i++) {
      var xi = p[2 * i], yi = p[2 * i + 1], xj = p[2 * j], yj = p[2 * j + 1];
      if ((yi > y) !== (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) c = !c;
    }
    return c;
  }

  function Plan(svg) {
    var self = this;
    this.svg = svg;
    this.drawing = svg.querySelector('g[transform]');
    this.home = [svg.viewBox.baseVal.x, svg.viewBox.baseVal.y, svg.viewBox.baseVal.width,
                 svg.viewBox.baseVal.height];
    this.members = [];
    this.dataScript = svg.closest('.storey').querySelector('script.plan-data');
    this.data = null;
    svg.querySelectorAll('path[data-table]').forEach(function (path, group) {
      var keys = path.getAttribute('data-keys').split(' ');
      var partsText = path.getAttribute('data-parts');
      var parts = partsText ? partsText.split(' ').map(Number) : keys.map(function () { return 1; });
      var shapes = subpaths(path.getAttribute('d'));
      var total = parts.reduce(function (a, b) { return a + b; }, 0);
      if (parts.length !== keys.length || total !== shapes.length)
        broken.push(svg.getAttribute('data-floor') + ':' + path.getAttribute('data-table'));
      for (var k = 0, s = 0; k < keys.length; s += parts[k], k++)
        self.members.push({ table: path.getAttribute('data-table'), key: keys[k], group: group, index: k,
                            shapes: shapes.slice(s, s + parts[k]) });
    });
    memberCount += this.members.length;
  }

  // The point of the drawing under the mouse, in the file's coordinates,
  // and how far a few pixels reach there.
  Plan.prototype.at = function (event) {
    var m = this.drawing.getScreenCTM();
    var p = new DOMPoint(event.clientX, event.clientY).matrixTransform(m.inverse());
    return { x: p.x, y: p.y, reach: 6 / Math.abs(m.a) };
  };

  // The member under the point: the nearest line or symbol within reach
  // (later ones are drawn on top), else the outline that holds it (an
  // outline's edge is where beams and walls are).
  Plan.prototype.hit = function (p) {
    var best = null, bestDistance = p.reach, area = null;
    this.members.forEach(function (m) {
      m.shapes.forEach(function (s) {
        var q = s.points, d;
        if (s.closed) {
          if (inside(q, p.x, p.y)) area = m;
          return;
        }
        if (q.length === 2) {
          d = Math.hypot(p.x - q[0], p.y - q[1]);
        } else {
          d = Infinity;
          for (var i = 2; i < q.length; i += 2)
            d = Math.min(d, segmentDistance(p.x, p.y, q[i - 2], q[i - 1], q[i], q[i + 1]));
        }
        if (d <= bestDistance) {
          bestDistance = d;
          best = m;
        }
      });
    });
    return best || area;
  };

  Plan.prototype.entry = function (m) {
    if (!this.data) this.data = this.dataScript ? JSON.parse(this.dataScript.textContent) : [];
    var group = this.data[m.group];
    return (group && group[m.index]) || {};
  };

  // Values of fields named alike in sub-records ("ISection.ReqAsTop",
  // "MSection.ReqAsTop") share a line.
  function designLines(names, values) {
    var order = [], byName = {};
    names.forEach(function (name, i) {
      var dot = name.lastIndexOf('.');
      var last = name.slice(dot + 1), owner = dot < 0 ? '' : name.slice(0, dot);
      if (!byName[last]) { byName[last] = []; order.push(last); }
      byName[last].push([owner, values[i]]);
    });
    return order.map(function (last) {
      var list = byName[last];
      if (list.length === 1) return (list[0][0] ? list[0][0] + '.' : '') + last + ': ' + list[0][1];
      return last + ': ' + list.map(function (e) { return e[1]; }).join(' | ') + '  (' +
             list.map(function (e) { return e[0]; }).join(' | ') + ')';
    });
  }

  Plan.prototype.show = function (m, event) {
    var e = this.entry(m);
    tip.textContent = '';
    function line(text, cls) {
      var div = document.createElement('div');
      div.textContent = text;
      if (cls) div.className = cls;
      tip.appendChild(div);
    }
    // A comparison's member: its keys in both models, what happened to it
    // and what changed.
    line(m.table + ' ' + (e.k || m.key) + (e.s ? ': ' + e.s : ''), 'title');
    line(this.svg.querySelector('title').textContent);
    (e.c || []).forEach(function (c) { line(c, 'change'); });
    (e.p || []).forEach(function (p) { line(p, 'problem'); });
    if (e.o) line('Openings: ' + e.o);
    var info = fields[m.table];
    if (e.d && info) designLines(info.fields, e.d).forEach(function (l) { line(l); });
    else if (info && info.design) line('No ' + info.design + ' row');
    tip.style.display = 'block';
    var x = event.clientX + 14, y = event.clientY + 14;
    var w = tip.offsetWidth, h = tip.offsetHeight;
    if (x + w > window.innerWidth) x = Math.max(0, event.clientX - w - 14);
    if (y + h > window.innerHeight) y = Math.max(0, event.clientY - h - 14);
    tip.style.left = x + 'px';
    tip.style.top = y + 'px';
  };

  Plan.prototype.setView = function (x, y, w, h) {
    var v = this.svg.viewBox.baseVal;
    v.x = x; v.y = y; v.width = w; v.height = h;
  };

  Plan.prototype.zoom = function (factor, clientX, clientY) {
    var v = this.svg.viewBox.baseVal;
    var p = new DOMPoint(clientX, clientY).matrixTransform(this.svg.getScreenCTM().inverse());
    this.setView(p.x - (p.x - v.x) * factor, p.y - (p.y - v.y) * factor, v.width * factor, v.height * factor);
  };

  Plan.prototype.zoomAtCentre = function (factor) {
    var r = this.svg.getBoundingClientRect();
    this.zoom(factor, r.left + r.width / 2, r.top + r.height / 2);
  };

  Plan.prototype.fit = function () {
    this.setView.apply(this, this.home);
  };

  function attach(plan) {
    var svg = plan.svg, drag = null, active = false;
    svg.addEventListener('pointerdown', function (event) {
      active = true;
      var v = svg.viewBox.baseVal;
      drag = { x: event.clientX, y: event.clientY, vx: v.x, vy: v.y, scale: svg.getScreenCTM().a };
      svg.setPointerCapture(event.pointerId);
      svg.classList.add('dragging');
    });
    svg.addEventListener('pointerup', function () {
      drag = null;
      svg.classList.remove('dragging');
    });
    svg.addEventListener('pointermove', function (event) {
      if (drag) {
        var v = svg.viewBox.baseVal;
        plan.setView(drag.vx - (event.clientX - drag.x) / drag.scale, drag.vy - (event.clientY - drag.y) / drag.scale,
                     v.width, v.height);
        tip.style.display = 'none';
        return;
      }
      // The browser sends at most one move per frame.
      var m = plan.hit(plan.at(event));
      if (m) plan.show(m, event);
      else tip.style.display = 'none';
    });
    svg.addEventListener('pointerleave', function () {
      active = false;
      tip.style.display = 'none';
    });
    // The wheel zooms a plan once it was clicked (or with Ctrl), so that
    // it still scrolls the page over plans not in use.
    svg.addEventListener('wheel', function (event) {
      if (!active && !event.ctrlKey) return;
      event.preventDefault();
      plan.zoom(Math.pow(1.0015, event.deltaY), event.clientX, event.clientY);
    }, { passive: false });
    svg.addEventListener('dblclick', function () { plan.fit(); });
    var tools = svg.closest('.plan-box').querySelectorAll('button[data-zoom]');
    tools.forEach(function (button) {
      button.addEventListener('click', function () {
        var z = button.getAttribute('data-zoom');
        if (z === 'fit') plan.fit();
        else plan.zoomAtCentre(z === 'in' ? 1 / 1.5 : 1.5);
      });
    });
  }

  document.querySelectorAll('svg.plan').forEach(function (svg) {
    attach(new Plan(svg));
  });

  // "#plan=ID" shows that storey's plan alone, filling the window.
  function showAlone() {
    var match = /^#plan=(.+)$/.exec(location.hash);
    var target = match ? document.getElementById(decodeURIComponent(match[1])) : null;
    document.querySelectorAll('.shown-alone').forEach(function (e) { e.classList.remove('shown-alone'); });
    document.body.classList.toggle('alone', !!target);
    if (target) {
      target.classList.add('shown-alone');
      window.scrollTo(0, 0);
    }
  }
  window.addEventListener('hashchange', showAlone);
  showAlone();
  // For whoever checks the page: it ran, how many members its plans
  // hold, and which paths disagree with their keys.
  document.body.setAttribute('data-members', String(memberCount));
  if (broken.length) document.body.setAttribute('data-broken', broken.join(' '));
  document.body.setAttribute('data-ready', 'yes');
})();
