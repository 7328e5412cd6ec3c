// The page's plans: zoom, pan and a tooltip per member. Each plan's paths
// carry their members' keys (data-keys), subpath counts (data-parts, 1
// each when absent) and the ids of the shared definitions each also draws
// (data-uses, "-" for none); the members' design results, problems and
// openings (and, on a comparison's page, what changed) are in the JSON
// beside the plan, one entry per member in the same order. What members
// share (an element's problems, a changed record) is told once in the
// part's lookup, and an entry refers to it by its place there.
(function () {
  'use strict';
  var fields = {};
  document.querySelectorAll('script.plan-fields').forEach(function (s) {
    Object.assign(fields, JSON.parse(s.textContent));
  });
  var tip = document.getElementById('tip');
  var broken = [];
  var memberCount = 0;
  var definitions = {}; // id -> its subpaths, read once however many members draw it
  var hitRound = 0;

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

  function definitionShapes(id) {
    if (!(id in definitions)) {
      var d = document.getElementById(id);
      definitions[id] = d ? subpaths(d.getAttribute('d') || '') : null;
    }
    return definitions[id];
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
    var part = svg.closest('section.file');
    this.lookupScript = part ? part.querySelector('script.plan-lookup') : null;
    svg.querySelectorAll('path[data-table]').forEach(function (path, group) {
      var keys = path.getAttribute('data-keys').split(' ');
      var partsText = path.getAttribute('data-parts');
      var parts = partsText ? partsText.split(' ').map(Number) : keys.map(function () { return 1; });
      var usesText = path.getAttribute('data-uses');
      var uses = usesText ? usesText.split(' ') : null;
      var shapes = subpaths(path.getAttribute('d'));
      var total = parts.reduce(function (a, b) { return a + b; }, 0);
      var where = svg.getAttribute('data-floor') + ':' + path.getAttribute('data-table');
      // A symbol or dot answers anywhere on it: its square, or its disc, half
      // its stroke's width around its node, in the plan's units.
      var half = (+path.getAttribute('stroke-width') || 0) / 2;
      var square = path.getAttribute('stroke-linecap') === 'square';
      if (parts.length !== keys.length || total !== shapes.length || (uses && uses.length !== keys.length))
        broken.push(where);
      for (var k = 0, s = 0; k < keys.length; s += parts[k], k++) {
        var shared = uses && uses[k] !== '-' ? uses[k].split(',').map(function (id) {
          var list = definitionShapes(id);
          if (!list) broken.push(where + ':' + id);
          return list || [];
        }) : [];
        self.members.push({ table: path.getAttribute('data-table'), key: keys[k], group: group, index: k,
                            shapes: shapes.slice(s, s + parts[k]), shared: shared, half: half, square: square });
      }
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

  // The member under the point, points before lines before areas, so that
  // a column where beams meet answers as the column: the nearest symbol or
  // dot within reach, else the nearest line within reach (later ones are
  // drawn on top), else the outline that holds it (an outline's edge is
  // where beams and walls are). Members that lie as near under the one
  // found (a beam under a brace) are kept in `under`, for its tooltip. The
  // shapes of a shared definition are measured once per point, however many
  // members draw it.
  Plan.prototype.hit = function (p) {
    var round = ++hitRound, area = null;
    var ranks = [{ best: null, distance: p.reach, under: [] }, { best: null, distance: p.reach, under: [] }];
    // The nearest of the shapes that are symbols and of those that are
    // lines, and whether an outline among them holds the point.
    function measure(shapes, half, square) {
      var point = Infinity, line = Infinity, holds = false;
      shapes.forEach(function (s) {
        var q = s.points;
        if (s.closed) {
          holds = holds || inside(q, p.x, p.y);
        } else if (q.length === 2) {
          var dx = Math.abs(p.x - q[0]), dy = Math.abs(p.y - q[1]);
          point = Math.min(point, Math.max(0, (square ? Math.max(dx, dy) : Math.hypot(dx, dy)) - (half || 0)));
        } else {
          for (var i = 2; i < q.length; i += 2)
            line = Math.min(line, segmentDistance(p.x, p.y, q[i - 2], q[i - 1], q[i], q[i + 1]));
        }
      });
      return { nearest: [point, line], holds: holds };
    }
    function measureShared(shapes) {
      if (shapes.round !== round) {
        shapes.round = round;
        shapes.measured = measure(shapes);
      }
      return shapes.measured;
    }
    this.members.forEach(function (m) {
      var nearest = [Infinity, Infinity];
      [measure(m.shapes, m.half, m.square)].concat(m.shared.map(measureShared)).forEach(function (found) {
        if (found.holds) area = m;
        nearest = [Math.min(nearest[0], found.nearest[0]), Math.min(nearest[1], found.nearest[1])];
      });
      // As near as the one found, within a hundredth of the reach (both under
      // the pointer, say): the later one is drawn on top and answers, the
      // other lies under it.
      var tie = p.reach / 100;
      ranks.forEach(function (rank, r) {
        var d = nearest[r];
        if (d > rank.distance + tie) return;
        if (rank.best && d >= rank.distance - tie) {
          rank.under.push(rank.best);
          rank.distance = Math.min(rank.distance, d);
        } else {
          rank.under = [];
          rank.distance = d;
        }
        rank.best = m;
      });
    });
    var found = ranks[0].best ? ranks[0] : ranks[1];
    if (!found.best) return area;
    found.best.under = found.under.filter(function (m) { return m !== found.best; });
    return found.best;
  };

  Plan.prototype.entry = function (m) {
    if (!this.data) this.data = this.dataScript ? JSON.parse(this.dataScript.textContent) : [];
    var group = this.data[m.group];
    return (group && group[m.index]) || {};
  };

  // The part's lookup, read once for all its plans.
  Plan.prototype.lookup = function () {
    var s = this.lookupScript;
    if (!s) return { records: [], elements: {} };
    if (!s.parsed) s.parsed = JSON.parse(s.textContent);
    return s.parsed;
  };

  // A member's problems: its own texts, and for an element's place, that
  // element's problems; each once.
  function problemLines(e, look) {
    var lines = [], seen = new Set();
    function add(text) {
      if (!seen.has(text)) { seen.add(text); lines.push(text); }
    }
    (e.p || []).forEach(function (p) {
      if (typeof p === 'number') ((look.elements[p] || {}).p || []).forEach(add);
      else add(p);
    });
    return lines;
  }

  // What changed, a line each, each record once: its own record's members
  // that differ, then those of the records it relies on, named: its design
  // rows, its elements, their nodes, its own nodes.
  function changeLines(e, look) {
    var lines = [], seen = {};
    function record(i, own) {
      var r = look.records[i];
      if (seen[i] || !r) return;
      seen[i] = true;
      if (!own && r[1]) lines.push(r[0] + ': ' + r[1]);
      for (var k = 2; k < r.length; k++) lines.push(own ? r[k] : r[0] + ': ' + r[k]);
    }
    function others(list) { (list || []).forEach(function (i) { record(i, false); }); }
    var elements = (e.e || []).map(function (i) { return look.elements[i] || {}; });
    if (e.r !== undefined) record(e.r, true);
    others(e.c);
    elements.forEach(function (el) { if (el.r !== undefined) record(el.r, false); });
    elements.forEach(function (el) { others(el.n); });
    others(e.n);
    return lines;
  }

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

  // Members under the one pointed at that the tooltip tells of in full.
  var kUnderShown = 4;

  Plan.prototype.show = function (m, event) {
    var self = this, look = this.lookup();
    tip.textContent = '';
    function line(text, cls) {
      var div = document.createElement('div');
      div.textContent = text;
      if (cls) div.className = cls;
      tip.appendChild(div);
    }
    // A comparison's member: its keys in both models, what happened to it
    // and what changed.
    function member(m, title) {
      var e = self.entry(m);
      line(m.table + ' ' + (e.k || m.key) + (e.s ? ': ' + e.s : ''), title);
      changeLines(e, look).forEach(function (c) { line(c, 'change'); });
      problemLines(e, look).forEach(function (p) { line(p, 'problem'); });
      if (e.o) line('Openings: ' + e.o);
      var info = fields[m.table];
      if (e.d && info) designLines(info.fields, e.d).forEach(function (l) { line(l); });
      else if (info && info.design) line('No ' + info.design + ' row');
    }
    member(m, 'title');
    line(this.svg.querySelector('title').textContent);
    // What lies under it (a beam under a brace) is told too: every drawn
    // member answers the pointer.
    var under = m.under || [];
    if (under.length) {
      line('Under it: ' + under.map(function (u) { return u.table + ' ' + u.key; }).join(', '));
      under.slice(0, kUnderShown).forEach(function (u) { member(u, 'title under'); });
    }
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

  function element(tag, attributes, text) {
    var e = document.createElement(tag);
    Object.keys(attributes).forEach(function (name) { e.setAttribute(name, attributes[name]); });
    e.textContent = text || '';
    return e;
  }

  // Every storey's links (to its plan alone, back to all storeys) and zoom
  // buttons are the same: made here, not written with each storey.
  document.querySelectorAll('section.storey').forEach(function (section) {
    var heading = section.querySelector('h4'), box = section.querySelector('.plan-box');
    if (heading) {
      var links = element('span', { 'class': 'storey-links' });
      links.appendChild(element('a', { 'class': 'not-alone', href: '#plan=' + section.id }, 'alone'));
      links.appendChild(element('a', { 'class': 'only-alone', href: '#' + section.id }, 'all storeys'));
      heading.appendChild(links);
    }
    if (box) {
      var tools = element('div', { 'class': 'plan-tools' });
      [['in', 'Zoom in', '+'], ['out', 'Zoom out', '\u2212'], ['fit', 'See it whole', 'Fit']].forEach(function (b) {
        tools.appendChild(element('button', { type: 'button', 'data-zoom': b[0], title: b[1] }, b[2]));
      });
      box.insertBefore(tools, box.firstChild);
    }
  });

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
