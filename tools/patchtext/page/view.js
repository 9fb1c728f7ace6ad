// The script of the page that patchtext view writes: draws the model that the program embedded (see
// PageModel.h) with three.js. The file's space is +z up; cameras look along their -z with +y up, as glTF's do.
(function () {
  'use strict';
  var model = JSON.parse(document.getElementById('model').textContent);
  var fieldOfView = model.fieldOfView * Math.PI / 180;  // across the picture, as render draws it
  var kThreeQuarter = new THREE.Vector3(Math.cos(Math.PI / 6) * Math.sin(Math.PI / 4),
                                        -Math.cos(Math.PI / 6) * Math.cos(Math.PI / 4), Math.sin(Math.PI / 6));
  var kFill = 0.9;  // frame all: the box within 90% of the half width and height
  THREE.Object3D.DefaultUp.set(0, 0, 1);

  function decode(text, Type) {
    var binary = atob(text);
    var bytes = new Uint8Array(binary.length);
    for (var i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return new Type(bytes.buffer);
  }
  function plural(n, one, many) { return n + ' ' + (n === 1 ? one : many); }
  function number(v) { return v === null ? 'not finite' : String(Number(v.toPrecision(6))); }
  function triple(v) { return '(' + v.map(number).join(', ') + ')'; }
  function element(tag, text, className) {
    var e = document.createElement(tag);
    if (text !== undefined) e.textContent = text;
    if (className) e.className = className;
    return e;
  }
  function patchCounts(o) {
    return plural(o.triangular + o.quadrilateral, 'patch', 'patches') + ' (' + o.triangular + ' triangular, ' +
      o.quadrilateral + ' quadrilateral)';
  }

  // --- the scene ---
  var renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
  renderer.setPixelRatio(window.devicePixelRatio || 1);
  renderer.setClearColor(0x7d8796);
  document.getElementById('view').appendChild(renderer.domElement);
  var scene = new THREE.Scene();
  var camera = new THREE.PerspectiveCamera(45, 1, 0.1, 1000);
  scene.add(new THREE.HemisphereLight(0xffffff, 0x5a6070, 0.75));
  var headlight = new THREE.DirectionalLight(0xffffff, 0.7);
  headlight.position.set(0.4, 0.6, 1);
  camera.add(headlight);
  scene.add(camera);

  var surfaceMaterial = new THREE.MeshStandardMaterial({
    color: 0xb9bcc2, roughness: 0.65, metalness: 0.0, side: THREE.DoubleSide,
    polygonOffset: true, polygonOffsetFactor: 1, polygonOffsetUnits: 1 });
  var borderMaterial = new THREE.LineBasicMaterial({ color: 0x2f3540 });
  // Open edges: pure red, over everything, so that a hole is seen at once.
  var openMaterial = new THREE.LineBasicMaterial({ color: 0xff0000, depthTest: false, depthWrite: false });
  var netLineMaterial = new THREE.LineBasicMaterial({ color: 0x2a7a3a });
  var pointMaterial = function (color) { return new THREE.PointsMaterial({ color: color, size: 5, sizeAttenuation: false }); };
  var cameraMaterial = new THREE.LineBasicMaterial({ color: 0x1f4fb0 });

  function indexed(attribute, indices) {
    var g = new THREE.BufferGeometry();
    g.setAttribute('position', attribute);
    g.setIndex(new THREE.BufferAttribute(indices, 1));
    return g;
  }

  var layers = { borders: [], open: [], net: [] };
  var objects = model.objects.map(function (o) {
    var group = new THREE.Group();
    var g = new THREE.BufferGeometry();
    g.setAttribute('position', new THREE.BufferAttribute(decode(o.mesh.positions, Float32Array), 3));
    g.setAttribute('normal', new THREE.BufferAttribute(decode(o.mesh.normals, Float32Array), 3));
    g.setIndex(new THREE.BufferAttribute(decode(o.mesh.indices, Uint32Array), 1));
    group.add(new THREE.Mesh(g, surfaceMaterial));
    var points = new THREE.BufferAttribute(decode(o.points, Float32Array), 3);
    var borders = new THREE.LineSegments(indexed(points, decode(o.borders, Uint32Array)), borderMaterial);
    var open = new THREE.LineSegments(indexed(points, decode(o.openEdgeLines, Uint32Array)), openMaterial);
    open.renderOrder = 10;
    var net = new THREE.Group();
    var netPoints = new THREE.BufferAttribute(decode(o.net.points, Float32Array), 3);
    net.add(new THREE.LineSegments(indexed(netPoints, decode(o.net.lines, Uint32Array)), netLineMaterial));
    net.add(new THREE.Points(indexed(netPoints, decode(o.net.verts, Uint32Array)), pointMaterial(0x111111)));
    net.add(new THREE.Points(indexed(netPoints, decode(o.net.vecs, Uint32Array)), pointMaterial(0x2a7a3a)));
    net.add(new THREE.Points(indexed(netPoints, decode(o.net.interior, Uint32Array)), pointMaterial(0x8a4ab0)));
    net.visible = false;
    group.add(borders, open, net);
    layers.borders.push(borders);
    layers.open.push(open);
    layers.net.push(net);
    scene.add(group);
    return { data: o, group: group, points: points };
  });

  // The box of what is shown, where it is shown: the surfaces, else the cameras.
  function shownBox() {
    var box = new THREE.Box3();
    objects.forEach(function (o) {
      if (!o.group.visible || !o.data.box) return;
      var own = new THREE.Box3(new THREE.Vector3().fromArray(o.data.box[0]), new THREE.Vector3().fromArray(o.data.box[1]));
      box.union(own.translate(o.group.position));
    });
    if (box.isEmpty()) model.cameras.forEach(function (c) { if (c.posed) box.expandByPoint(new THREE.Vector3().fromArray(c.position)); });
    if (box.isEmpty()) box.set(new THREE.Vector3(-1, -1, -1), new THREE.Vector3(1, 1, 1));
    return box;
  }
  function sceneRadius() { return Math.max(shownBox().getSize(new THREE.Vector3()).length() / 2, 1e-6); }

  // Cameras as small frustums (render's lens, a 4:3 picture), each with a line to its target and a cross there.
  var cameraGroup = new THREE.Group();
  scene.add(cameraGroup);
  function drawCameras() {
    while (cameraGroup.children.length) cameraGroup.remove(cameraGroup.children[0]);
    var size = 0.08 * sceneRadius();
    var w = size * Math.tan(fieldOfView / 2), h = w * 3 / 4;
    var corners = [[-w, -h], [w, -h], [w, h], [-w, h]];
    model.cameras.forEach(function (c) {
      if (!c.posed) return;
      var local = [];
      corners.forEach(function (p, i) {
        var q = corners[(i + 1) % 4];
        local.push(0, 0, 0, p[0], p[1], -size, p[0], p[1], -size, q[0], q[1], -size);
      });
      local.push(-w * 0.4, h, -size, 0, h * 1.5, -size, 0, h * 1.5, -size, w * 0.4, h, -size);  // which way is up
      var g = new THREE.BufferGeometry();
      g.setAttribute('position', new THREE.Float32BufferAttribute(local, 3));
      var frustum = new THREE.LineSegments(g, cameraMaterial);
      frustum.position.fromArray(c.position);
      frustum.quaternion.fromArray(c.rotation);
      var t = c.target, s = size * 0.3;
      var world = [c.position[0], c.position[1], c.position[2], t[0], t[1], t[2],
        t[0] - s, t[1], t[2], t[0] + s, t[1], t[2], t[0], t[1] - s, t[2], t[0], t[1] + s, t[2],
        t[0], t[1], t[2] - s, t[0], t[1], t[2] + s];
      var aim = new THREE.BufferGeometry();
      aim.setAttribute('position', new THREE.Float32BufferAttribute(world, 3));
      cameraGroup.add(frustum, new THREE.LineSegments(aim, cameraMaterial));
    });
  }

  // --- the view ---
  var controls = new THREE.OrbitControls(camera, renderer.domElement);
  controls.screenSpacePanning = true;
  function aspect() { return Math.max(window.innerWidth, 1) / Math.max(window.innerHeight, 1); }
  function setLens() {
    camera.aspect = aspect();
    camera.fov = 2 * Math.atan(Math.tan(fieldOfView / 2) / camera.aspect) * 180 / Math.PI;
    var box = shownBox(), radius = sceneRadius();
    var d = camera.position.distanceTo(box.getCenter(new THREE.Vector3()));
    camera.far = d + 2 * radius;
    camera.near = Math.max(d - 2 * radius, camera.far * 1e-4);
    camera.updateProjectionMatrix();
  }
  function render() {
    setLens();
    renderer.render(scene, camera);
  }
  controls.addEventListener('change', render);

  // Calls take(x, y, z) for every tessellated point that is shown, where it is shown; false if there is none.
  function eachShownPoint(take) {
    var any = false;
    objects.forEach(function (o) {
      if (!o.group.visible) return;
      var p = o.points.array, at = o.group.position;
      for (var i = 0; i < p.length; i += 3) take(p[i] + at.x, p[i + 1] + at.y, p[i + 2] + at.z);
      any = any || p.length > 0;
    });
    return any;
  }

  // The three-quarter view of render: from the front right and above, backed off until every shown point of the
  // surfaces (else the box of the cameras) lies within 90% of the half width and height.
  function frameAll() {
    var box = shownBox(), centre = box.getCenter(new THREE.Vector3());
    var look = new THREE.PerspectiveCamera();
    look.position.copy(centre).add(kThreeQuarter);
    look.lookAt(centre);
    look.updateMatrixWorld();
    var m = new THREE.Matrix4().getInverse(look.matrixWorld).elements;  // world to camera, columns
    var halfWidth = kFill * Math.tan(fieldOfView / 2), halfHeight = halfWidth / aspect();
    var distance = 1e-6;
    function include(x, y, z) {
      // Camera-space coordinates, relative to the centre at (0, 0, -1).
      var cx = m[0] * x + m[4] * y + m[8] * z + m[12], cy = m[1] * x + m[5] * y + m[9] * z + m[13];
      var cz = m[2] * x + m[6] * y + m[10] * z + m[14] + 1;
      distance = Math.max(distance, Math.abs(cx) / halfWidth + cz, Math.abs(cy) / halfHeight + cz);
    }
    if (!eachShownPoint(include)) {
      for (var i = 0; i < 8; ++i)
        include(i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y, i & 4 ? box.max.z : box.min.z);
    }
    camera.position.copy(centre).addScaledVector(kThreeQuarter, distance);
    controls.target.copy(centre);
    camera.lookAt(centre);
    chosen(-1);
    controls.update();
    render();
  }

  // Looks through camera k of the file with render's lens.
  function lookThrough(k) {
    var c = model.cameras[k];
    if (!c || !c.posed) return false;
    camera.position.fromArray(c.position);
    camera.quaternion.fromArray(c.rotation);
    var target = new THREE.Vector3().fromArray(c.target);
    if (target.distanceTo(camera.position) === 0)
      target = new THREE.Vector3(0, 0, -sceneRadius()).applyQuaternion(camera.quaternion).add(camera.position);
    controls.target.copy(target);
    chosen(k);
    render();
    return true;
  }
  // The page's address chooses the start: #camera=K looks through camera K, #spread sets the objects apart, #net
  // shows the control net; joined with &, as in #spread&net.
  function fromAddress() {
    spread(/(^#|&)spread\b/.test(location.hash));
    var net = /(^#|&)net\b/.test(location.hash);
    document.getElementById('show-net').checked = net;
    layers.net.forEach(function (o) { o.visible = net; });
    var match = /camera=(\d+)/.exec(location.hash);
    if (!match || !lookThrough(Number(match[1]))) frameAll();
  }

  // --- the panel ---
  var totals = { triangular: 0, quadrilateral: 0, openEdges: 0 };
  model.objects.forEach(function (o) { totals.triangular += o.triangular; totals.quadrilateral += o.quadrilateral; totals.openEdges += o.openEdges; });
  document.getElementById('file').textContent = model.file;
  document.getElementById('version').textContent = 'version ' + model.version + ', ' + model.steps + ' steps per patch edge';
  [plural(model.objects.length, 'patch object', 'patch objects'), patchCounts(totals),
    plural(model.cameras.length, 'camera', 'cameras'), plural(totals.openEdges, 'open edge', 'open edges')]
    .forEach(function (line) { document.getElementById('counts').appendChild(element('li', line)); });

  objects.forEach(function (o) {
    var d = o.data, row = element('div', undefined, 'object');
    var label = element('label'), box = element('input');
    box.type = 'checkbox';
    box.checked = true;
    box.addEventListener('change', function () { o.group.visible = box.checked; render(); });
    label.append(box, ' ' + d.name);
    row.appendChild(label);
    var detail = patchCounts(d) + ', ' + plural(d.vertices, 'vertex', 'vertices') + ', ' +
      plural(d.vectors, 'vector', 'vectors') + ', ' + plural(d.openEdges, 'open edge', 'open edges');
    if (d.skipped) detail += ', ' + plural(d.skipped, 'patch', 'patches') + ' without a surface left out';
    row.appendChild(element('div', detail, 'detail'));
    row.appendChild(element('div', d.box ? 'box ' + triple(d.box[0]) + ' to ' + triple(d.box[1]) : 'no finite point', 'detail'));
    document.getElementById('objects').appendChild(row);
  });

  var cameraButtons = [];
  function chosen(k) { cameraButtons.forEach(function (b, i) { b.className = i - 1 === k ? 'chosen' : ''; }); }
  function cameraRow(k, name, detail, usable) {
    var row = element('div', undefined, 'camera'), button = element('button', name);
    button.disabled = !usable;
    button.addEventListener('click', function () {
      if (k < 0) { if (location.hash.length > 1) location.hash = ''; else frameAll(); }
      else if (location.hash === '#camera=' + k) lookThrough(k);
      else location.hash = 'camera=' + k;
    });
    cameraButtons.push(button);
    row.appendChild(button);
    if (detail) row.appendChild(element('div', detail, 'detail'));
    document.getElementById('cameras').appendChild(row);
  }
  cameraRow(-1, 'free view', '', true);
  model.cameras.forEach(function (c, k) {
    cameraRow(k, 'camera ' + k, c.posed ? 'at ' + triple(c.position) + ', looking at ' + triple(c.target)
      : 'not drawn: a coordinate is not finite', c.posed);
  });
  if (!model.cameras.length) document.getElementById('cameras').appendChild(element('div', 'none in the file', 'detail'));

  function toggle(id, apply) {
    var box = document.getElementById(id);
    box.addEventListener('change', function () { apply(box.checked); render(); });
  }
  function showLayer(list) { return function (on) { list.forEach(function (o) { o.visible = on; }); }; }
  toggle('show-borders', showLayer(layers.borders));
  toggle('show-open', showLayer(layers.open));
  toggle('show-net', showLayer(layers.net));
  toggle('show-cameras', function (on) { cameraGroup.visible = on; });
  // Side by side as render --spread sets them; the cameras stay where the file has them.
  function spread(on) {
    document.getElementById('spread').checked = on;
    objects.forEach(function (o) { if (on) o.group.position.fromArray(o.data.spread); else o.group.position.set(0, 0, 0); });
    drawCameras();
  }
  toggle('spread', function (on) { spread(on); frameAll(); });
  document.getElementById('frame-all').addEventListener('click', frameAll);
  window.addEventListener('keydown', function (e) {
    if ((e.key === 'f' || e.key === 'F') && !e.ctrlKey && !e.metaKey && !e.altKey) frameAll();
  });
  window.addEventListener('hashchange', fromAddress);
  window.addEventListener('resize', function () { renderer.setSize(window.innerWidth, window.innerHeight); render(); });

  renderer.setSize(window.innerWidth, window.innerHeight);
  fromAddress();
  document.title = model.file + ' - patchtext view';
  var status = document.getElementById('status');
  status.textContent = 'ready';
  status.setAttribute('data-ready-ms', String(Math.round(performance.now())));  // for the benchmark
})();
