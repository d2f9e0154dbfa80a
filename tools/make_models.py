#!/usr/bin/env python3
"""Writes Torv's demo models into models/ and the scenes that place them into scenes/.

Run:  python3 tools/make_models.py

Python 3 standard library only. The output is the same, byte for byte, on every run.

Conventions of every model written here:
- closed triangle meshes (each edge shared by exactly two triangles, in opposite
  directions), front faces counter-clockwise and facing out of the solid; a cavity
  is a closed surface that faces into the cavity. The viewer culls back faces and
  draws exposed back faces as cut surfaces, so both properties are visible.
- the viewer centres every imported file on the origin by its bounding box, so the
  scenes place each file at the centre of its bounding box in the scene's frame;
  the scenes are written from the same geometry to keep the two in step.
"""

import json
import math
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODELS = os.path.join(ROOT, "models")
SCENES = os.path.join(ROOT, "scenes")

TAU = 2.0 * math.pi


# ---------------------------------------------------------------- vectors, matrices

def v_add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def v_sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def v_scale(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def v_dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def v_cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def v_norm(a):
    length = math.sqrt(v_dot(a, a))
    return (a[0] / length, a[1] / length, a[2] / length)


def v_lerp(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


# Matrices are row-major 4x4 lists acting on column vectors, as Collada writes them.
def m_identity():
    return [[1.0 if i == j else 0.0 for j in range(4)] for i in range(4)]


def m_mul(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(4)) for j in range(4)] for i in range(4)]


def m_chain(*ms):
    out = m_identity()
    for m in ms:
        out = m_mul(out, m)
    return out


def m_translate(x, y, z):
    m = m_identity()
    m[0][3], m[1][3], m[2][3] = float(x), float(y), float(z)
    return m


def m_rot_x(a):
    c, s = math.cos(a), math.sin(a)
    return [[1, 0, 0, 0], [0, c, -s, 0], [0, s, c, 0], [0, 0, 0, 1]]


def m_rot_y(a):
    c, s = math.cos(a), math.sin(a)
    return [[c, 0, s, 0], [0, 1, 0, 0], [-s, 0, c, 0], [0, 0, 0, 1]]


def m_rot_z(a):
    c, s = math.cos(a), math.sin(a)
    return [[c, -s, 0, 0], [s, c, 0, 0], [0, 0, 1, 0], [0, 0, 0, 1]]


def m_scale(k):
    return [[k if i == j and i < 3 else (1.0 if i == j else 0.0) for j in range(4)] for i in range(4)]


def m_point(m, p):
    return tuple(m[i][0] * p[0] + m[i][1] * p[1] + m[i][2] * p[2] + m[i][3] for i in range(3))


def m_dir(m, n):
    # Only rotations, translations and uniform scales occur, so the upper 3x3 serves for normals.
    return v_norm(tuple(m[i][0] * n[0] + m[i][1] * n[1] + m[i][2] * n[2] for i in range(3)))


def m_dir_raw(m, v):
    return tuple(m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2] for i in range(3))


def m_det3(m):
    return (m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
            - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
            + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]))


def euler_xyz(rx, ry, rz):
    """The viewer's placement rotation: Rz * Ry * Rx."""
    return m_chain(m_rot_z(rz), m_rot_y(ry), m_rot_x(rx))


# ---------------------------------------------------------------- meshes

class Mesh:
    """Indexed triangles; every triangle carries a tag that later names its material."""

    def __init__(self):
        self.pos = []
        self.nrm = []
        self.col = []  # optional per-vertex RGB, empty when unused
        self.tri = []
        self.tag = []

    def vertex(self, p, n, c=None):
        self.pos.append(tuple(float(x) for x in p))
        self.nrm.append(tuple(float(x) for x in n))
        if c is not None:
            self.col.append(tuple(c))
        return len(self.pos) - 1

    def triangle(self, a, b, c, tag):
        self.tri.append((a, b, c))
        self.tag.append(tag)

    def quad(self, a, b, c, d, tag):
        self.triangle(a, b, c, tag)
        self.triangle(a, c, d, tag)

    def extend(self, other):
        if self.pos and bool(self.col) != bool(other.col):
            raise ValueError("mixing meshes with and without vertex colours")
        base = len(self.pos)
        self.pos += other.pos
        self.nrm += other.nrm
        self.col += other.col
        self.tri += [(a + base, b + base, c + base) for a, b, c in other.tri]
        self.tag += other.tag
        return self

    def transformed(self, m):
        if m_det3(m) <= 0.0:
            raise ValueError("a mirroring transform would turn the faces inside out")
        out = Mesh()
        out.pos = [m_point(m, p) for p in self.pos]
        out.nrm = [m_dir(m, n) for n in self.nrm]
        out.col = list(self.col)
        out.tri = list(self.tri)
        out.tag = list(self.tag)
        return out

    def flipped(self):
        """Same surface facing the other way: used for cavities."""
        out = Mesh()
        out.pos = list(self.pos)
        out.nrm = [v_scale(n, -1.0) for n in self.nrm]
        out.col = list(self.col)
        out.tri = [(a, c, b) for a, b, c in self.tri]
        out.tag = list(self.tag)
        return out

    def retag(self, mapping=None, default=None):
        """Rename tags through mapping; tags not in it become default (if given)."""
        mapping = mapping or {}
        self.tag = [mapping.get(t, default if default is not None else t) for t in self.tag]
        return self

    def retag_by(self, fn):
        self.tag = [fn(self, i, t) for i, t in enumerate(self.tag)]
        return self

    def paint(self, fn):
        """Per-vertex colours from fn(position, normal)."""
        self.col = [fn(p, n) for p, n in zip(self.pos, self.nrm)]
        return self

    def tags(self):
        seen = []
        for t in self.tag:
            if t not in seen:
                seen.append(t)
        return seen

    def subset(self, tag):
        """The triangles of one tag with only the vertices they use."""
        out = Mesh()
        remap = {}
        for (a, b, c), t in zip(self.tri, self.tag):
            if t != tag:
                continue
            idx = []
            for v in (a, b, c):
                if v not in remap:
                    remap[v] = len(out.pos)
                    out.pos.append(self.pos[v])
                    out.nrm.append(self.nrm[v])
                    if self.col:
                        out.col.append(self.col[v])
                idx.append(remap[v])
            out.tri.append(tuple(idx))
            out.tag.append(t)
        return out

    def centroid_of(self, i):
        a, b, c = (self.pos[k] for k in self.tri[i])
        return v_scale(v_add(v_add(a, b), c), 1.0 / 3.0)


def merge(*meshes):
    out = Mesh()
    for m in meshes:
        out.extend(m)
    return out


# ---------------------------------------------------------------- primitives

_BOX_FACES = {
    # key: (normal, u, v) with u x v = normal, so the corners below run counter-clockwise
    "+x": ((1, 0, 0), (0, 1, 0), (0, 0, 1)),
    "-x": ((-1, 0, 0), (0, 0, 1), (0, 1, 0)),
    "+y": ((0, 1, 0), (0, 0, 1), (1, 0, 0)),
    "-y": ((0, -1, 0), (1, 0, 0), (0, 0, 1)),
    "+z": ((0, 0, 1), (1, 0, 0), (0, 1, 0)),
    "-z": ((0, 0, -1), (0, 1, 0), (1, 0, 0)),
}


def box(lo, hi, tag="box"):
    """Axis-aligned box with flat faces; triangles are tagged '<tag>' or by face with retag."""
    m = Mesh()
    centre = v_scale(v_add(lo, hi), 0.5)
    half = v_scale(v_sub(hi, lo), 0.5)
    for key, (n, u, v) in _BOX_FACES.items():
        def corner(su, sv):
            return tuple(centre[i] + half[i] * (n[i] + su * u[i] + sv * v[i]) for i in range(3))
        ids = [m.vertex(corner(su, sv), n) for su, sv in ((-1, -1), (1, -1), (1, 1), (-1, 1))]
        m.quad(ids[0], ids[1], ids[2], ids[3], key)
    if tag is not None:
        m.retag(default=tag)
    return m


def lathe(profile, segments, smooth, tag="lathe"):
    """Solid of revolution about +y.

    profile: (radius, y) points from the top of the axis to the bottom, first and
    last radius 0, so the surface is closed. smooth: one normal per profile point
    (spheres) instead of one per profile segment (cylinders, cones).
    """
    m = Mesh()
    dirs = [(math.cos(TAU * j / segments), -math.sin(TAU * j / segments)) for j in range(segments)]

    def seg_normal(k):
        (r0, y0), (r1, y1) = profile[k], profile[k + 1]
        dr, dy = r1 - r0, y1 - y0
        length = math.hypot(dr, dy)
        return (-dy / length, dr / length)  # (radial, axial), pointing out of the solid

    def point(r, y, j):
        return (r * dirs[j][0], y, r * dirs[j][1])

    def normal(nr, ny, j):
        return (nr * dirs[j][0], ny, nr * dirs[j][1])

    if smooth:
        pn = []
        for k in range(len(profile)):
            acc = [0.0, 0.0]
            for s in (k - 1, k):
                if 0 <= s < len(profile) - 1:
                    nr, ny = seg_normal(s)
                    acc[0] += nr
                    acc[1] += ny
            length = math.hypot(acc[0], acc[1])
            pn.append((acc[0] / length, acc[1] / length))
        rings = []
        for k, (r, y) in enumerate(profile):
            if r == 0.0:
                rings.append([m.vertex((0.0, y, 0.0), (0.0, 1.0 if k == 0 else -1.0, 0.0))] * segments)
            else:
                rings.append([m.vertex(point(r, y, j), normal(pn[k][0], pn[k][1], j)) for j in range(segments)])
        _stitch(m, profile, rings, segments, tag)
    else:
        for k in range(len(profile) - 1):
            nr, ny = seg_normal(k)
            ring_pair = []
            for (r, y) in (profile[k], profile[k + 1]):
                ring_pair.append([m.vertex(point(r, y, j), normal(nr, ny, j)) for j in range(segments)])
            _stitch(m, profile[k:k + 2], ring_pair, segments, tag)
    return m


def _stitch(m, profile, rings, segments, tag):
    for k in range(len(profile) - 1):
        up, lo = rings[k], rings[k + 1]
        top_pole = profile[k][0] == 0.0
        bottom_pole = profile[k + 1][0] == 0.0
        for j in range(segments):
            j1 = (j + 1) % segments
            if top_pole and bottom_pole:
                continue
            if top_pole:
                m.triangle(up[j], lo[j], lo[j1], tag)
            elif bottom_pole:
                m.triangle(up[j], lo[j], up[j1], tag)
            else:
                m.quad(up[j], lo[j], lo[j1], up[j1], tag)


def sphere(radius, segments, rings, tag="sphere"):
    profile = [(0.0, radius)]
    for i in range(1, rings):
        theta = math.pi * i / rings
        profile.append((radius * math.sin(theta), radius * math.cos(theta)))
    profile.append((0.0, -radius))
    return lathe(profile, segments, True, tag)


def cylinder(radius, y0, y1, segments, tag="cylinder"):
    """Along +y, flat caps, smooth sides."""
    m = Mesh()
    dirs = [(math.cos(TAU * j / segments), -math.sin(TAU * j / segments)) for j in range(segments)]
    for y, ny, cap in ((y1, 1.0, "cap1"), (y0, -1.0, "cap0")):
        centre = m.vertex((0.0, y, 0.0), (0.0, ny, 0.0))
        ring = [m.vertex((radius * c, y, radius * s), (0.0, ny, 0.0)) for c, s in dirs]
        for j in range(segments):
            j1 = (j + 1) % segments
            if ny > 0:
                m.triangle(centre, ring[j], ring[j1], cap)
            else:
                m.triangle(centre, ring[j1], ring[j], cap)
    top = [m.vertex((radius * c, y1, radius * s), (c, 0.0, s)) for c, s in dirs]
    bot = [m.vertex((radius * c, y0, radius * s), (c, 0.0, s)) for c, s in dirs]
    for j in range(segments):
        j1 = (j + 1) % segments
        m.quad(top[j], bot[j], bot[j1], top[j1], "side")
    if tag is not None:
        m.retag(default=tag)
    return m


def polygon_area(poly):
    return 0.5 * sum(poly[i][0] * poly[(i + 1) % len(poly)][1] - poly[(i + 1) % len(poly)][0] * poly[i][1]
                     for i in range(len(poly)))


def prism(poly, z0, z1):
    """Extrudes a convex polygon of the xy plane from z0 to z1 with flat faces.

    Tags: 'cap0' (z0), 'cap1' (z1), ('side', i) for the edge from point i to i+1.
    """
    if polygon_area(poly) < 0:
        poly = list(reversed(poly))
    n = len(poly)
    m = Mesh()
    cx = sum(p[0] for p in poly) / n
    cy = sum(p[1] for p in poly) / n
    for z, nz, cap in ((z1, 1.0, "cap1"), (z0, -1.0, "cap0")):
        centre = m.vertex((cx, cy, z), (0.0, 0.0, nz))
        ring = [m.vertex((x, y, z), (0.0, 0.0, nz)) for x, y in poly]
        for i in range(n):
            i1 = (i + 1) % n
            if nz > 0:
                m.triangle(centre, ring[i], ring[i1], cap)
            else:
                m.triangle(centre, ring[i1], ring[i], cap)
    for i in range(n):
        (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % n]
        nrm = v_norm((y1 - y0, x0 - x1, 0.0))
        a = m.vertex((x0, y0, z0), nrm)
        b = m.vertex((x1, y1, z0), nrm)
        c = m.vertex((x1, y1, z1), nrm)
        d = m.vertex((x0, y0, z1), nrm)
        m.quad(a, b, c, d, ("side", i))
    return m


def gear(teeth, module, thickness, bore, tag="gear"):
    """Spur gear along +z, centred on the origin, with a round bore.

    Each tooth is centred on angle 2*pi*k/teeth and the count is even, so the
    bounding box is symmetric about the axis: the viewer's re-centring keeps the
    gear on its shaft whatever its rotation in the scene.
    """
    if teeth % 2:
        raise ValueError("an even tooth count keeps the bounding box centred")
    pitch = teeth * module / 2.0
    tip = pitch + module
    root = pitch - 1.25 * module
    step = TAU / teeth
    outline = []
    for k in range(teeth):
        c = k * step
        outline += [(root, c - 0.30 * step), (tip, c - 0.12 * step), (tip, c + 0.12 * step),
                    (root, c + 0.30 * step), (root, c + 0.50 * step)]
    outer = [(r * math.cos(a), r * math.sin(a)) for r, a in outline]
    inner = [(bore * math.cos(a), bore * math.sin(a)) for _, a in outline]
    inner_n = [(-math.cos(a), -math.sin(a), 0.0) for _, a in outline]
    n = len(outer)
    z0, z1 = -thickness / 2.0, thickness / 2.0
    m = Mesh()
    for z, nz in ((z1, 1.0), (z0, -1.0)):
        o = [m.vertex((x, y, z), (0.0, 0.0, nz)) for x, y in outer]
        b = [m.vertex((x, y, z), (0.0, 0.0, nz)) for x, y in inner]
        for i in range(n):
            i1 = (i + 1) % n
            if nz > 0:
                m.quad(b[i], o[i], o[i1], b[i1], "face")
            else:
                m.quad(b[i], b[i1], o[i1], o[i], "face")
    for i in range(n):
        (x0, y0), (x1, y1) = outer[i], outer[(i + 1) % n]
        nrm = v_norm((y1 - y0, x0 - x1, 0.0))
        a = m.vertex((x0, y0, z0), nrm)
        b = m.vertex((x1, y1, z0), nrm)
        c = m.vertex((x1, y1, z1), nrm)
        d = m.vertex((x0, y0, z1), nrm)
        m.quad(a, b, c, d, "teeth")
    lo = [m.vertex((x, y, z0), nn) for (x, y), nn in zip(inner, inner_n)]
    hi = [m.vertex((x, y, z1), nn) for (x, y), nn in zip(inner, inner_n)]
    for i in range(n):
        i1 = (i + 1) % n
        m.quad(lo[i1], lo[i], hi[i], hi[i1], "bore")
    if tag is not None:
        m.retag(default=tag)
    return m


def shell_sphere(outer, inner, segments, rings):
    """Hollow ball: outside tagged 'outer', cavity wall (facing the centre) 'inner'."""
    return merge(sphere(outer, segments, rings, "outer"), sphere(inner, segments, rings, "inner").flipped())


# ---------------------------------------------------------------- checks done while writing

def _key(p):
    return tuple(round(x, 4) + 0.0 for x in p)


def check_solid(name, mesh, expect_cavities=0):
    """Closed, consistently wound, outward facing: the viewer's cut shading needs all three."""
    weld = {}
    ids = [weld.setdefault(_key(p), len(weld)) for p in mesh.pos]
    edges = {}
    for t in mesh.tri:
        a, b, c = (ids[v] for v in t)
        if len({a, b, c}) < 3:
            raise AssertionError(f"{name}: degenerate triangle")
        for e in ((a, b), (b, c), (c, a)):
            edges[e] = edges.get(e, 0) + 1
    for (a, b), count in edges.items():
        if count != 1 or edges.get((b, a)) != 1:
            raise AssertionError(f"{name}: edge {a}-{b} is not shared by exactly two opposite triangles")
    # connected components by shared welded vertices, signed volume of each
    parent = list(range(len(weld)))

    def find(x):
        while parent[x] != x:
            parent[x] = parent[parent[x]]
            x = parent[x]
        return x

    for t in mesh.tri:
        a, b, c = (find(ids[v]) for v in t)
        parent[b] = a
        parent[find(c)] = find(a)
    volumes = {}
    for t in mesh.tri:
        p0, p1, p2 = (mesh.pos[v] for v in t)
        root = find(ids[t[0]])
        volumes[root] = volumes.get(root, 0.0) + v_dot(p0, v_cross(p1, p2)) / 6.0
    negative = sum(1 for v in volumes.values() if v < 0)
    if negative != expect_cavities or sum(volumes.values()) <= 0:
        raise AssertionError(f"{name}: {negative} inward components, expected {expect_cavities}")
    return len(volumes)


# ---------------------------------------------------------------- colours

def rgb255(r, g, b):
    return (r / 255.0, g / 255.0, b / 255.0)


# ---------------------------------------------------------------- number formatting

def fnum(x, digits=4):
    s = f"{x:.{digits}f}".rstrip("0").rstrip(".")
    return "0" if s in ("-0", "", "-") else s


def gnum(x):
    """Like a C++ stream's default float output (six significant digits)."""
    s = f"{x:g}"
    return "0" if s == "-0" else s


# ---------------------------------------------------------------- writers

def write_text(path, text):
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)


def write_obj(base, mesh, materials, comment):
    """OBJ + MTL; one 'usemtl' group per tag, each tag a material of the MTL file."""
    lines = [f"# {comment}", "# generated by tools/make_models.py", f"mtllib {base}.mtl", f"o {base}"]
    lines += ["v " + " ".join(fnum(x) for x in p) for p in mesh.pos]
    lines += ["vn " + " ".join(fnum(x, 3) for x in n) for n in mesh.nrm]
    for tag in mesh.tags():
        lines.append(f"usemtl {tag}")
        for (a, b, c), t in zip(mesh.tri, mesh.tag):
            if t == tag:
                lines.append(f"f {a + 1}//{a + 1} {b + 1}//{b + 1} {c + 1}//{c + 1}")
    write_text(os.path.join(MODELS, base + ".obj"), "\n".join(lines) + "\n")
    mtl = [f"# materials of {base}.obj", "# generated by tools/make_models.py"]
    for tag in mesh.tags():
        r, g, b = materials[tag]
        mtl += ["", f"newmtl {tag}", f"Ka {fnum(r * 0.2, 4)} {fnum(g * 0.2, 4)} {fnum(b * 0.2, 4)}",
                f"Kd {fnum(r, 4)} {fnum(g, 4)} {fnum(b, 4)}", "Ks 0.1 0.1 0.1", "Ns 20", "d 1", "illum 2"]
    write_text(os.path.join(MODELS, base + ".mtl"), "\n".join(mtl) + "\n")
    return [base + ".obj", base + ".mtl"]


def write_ply(name, mesh, comment):
    """ASCII PLY with normals and one uchar colour per vertex."""
    if len(mesh.col) != len(mesh.pos):
        raise ValueError(f"{name}: PLY models carry their colour per vertex")
    lines = ["ply", "format ascii 1.0", f"comment {comment}", "comment generated by tools/make_models.py",
             f"element vertex {len(mesh.pos)}",
             "property float x", "property float y", "property float z",
             "property float nx", "property float ny", "property float nz",
             "property uchar red", "property uchar green", "property uchar blue",
             f"element face {len(mesh.tri)}", "property list uchar int vertex_indices", "end_header"]
    for p, n, c in zip(mesh.pos, mesh.nrm, mesh.col):
        rgb = [max(0, min(255, int(round(x * 255.0)))) for x in c]
        lines.append(" ".join([fnum(x) for x in p] + [fnum(x, 3) for x in n] + [str(x) for x in rgb]))
    lines += [f"3 {a} {b} {c}" for a, b, c in mesh.tri]
    write_text(os.path.join(MODELS, name), "\n".join(lines) + "\n")
    return [name]


def srgb_to_linear(v):
    """Linear light of an sRGB-encoded value in 0..1."""
    return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4


def write_glb(name, mesh, materials, vertex_colors):
    """Binary glTF 2.0, one node, one primitive per tag.

    Without vertex colours each primitive's material carries the colour as its
    baseColorFactor; with them the colours travel as COLOR_0 (float RGBA) and the
    materials stay white, since glTF multiplies the two. glTF holds both as
    linear light, so the display colours used everywhere else are converted.
    """
    if vertex_colors and len(mesh.col) != len(mesh.pos):
        raise ValueError(f"{name}: vertex colours missing")
    blob = bytearray()
    views, accessors = [], []

    def add_view(data, target):
        while len(blob) % 4:
            blob.append(0)
        views.append({"buffer": 0, "byteOffset": len(blob), "byteLength": len(data), "target": target})
        blob.extend(data)
        return len(views) - 1

    def add_floats(rows, kind, with_bounds):
        data = b"".join(struct.pack("<%df" % len(r), *r) for r in rows)
        acc = {"bufferView": add_view(data, 34962), "componentType": 5126, "count": len(rows), "type": kind}
        if with_bounds:
            packed = [struct.unpack("<3f", struct.pack("<3f", *r)) for r in rows]
            acc["min"] = [min(r[i] for r in packed) for i in range(3)]
            acc["max"] = [max(r[i] for r in packed) for i in range(3)]
        accessors.append(acc)
        return len(accessors) - 1

    primitives, mats = [], []
    for tag in mesh.tags():
        part = mesh.subset(tag)
        attrs = {"POSITION": add_floats(part.pos, "VEC3", True), "NORMAL": add_floats(part.nrm, "VEC3", False)}
        if vertex_colors:
            attrs["COLOR_0"] = add_floats([tuple(srgb_to_linear(x) for x in c) + (1.0,) for c in part.col],
                                          "VEC4", False)
        idx = b"".join(struct.pack("<3I", *t) for t in part.tri)
        accessors.append({"bufferView": add_view(idx, 34963), "componentType": 5125,
                          "count": 3 * len(part.tri), "type": "SCALAR"})
        colour = [1.0, 1.0, 1.0] if vertex_colors else [srgb_to_linear(x) for x in materials[tag]]
        mats.append({"name": tag, "pbrMetallicRoughness": {
            "baseColorFactor": [round(x, 6) for x in colour] + [1.0], "metallicFactor": 0.0,
            "roughnessFactor": 0.8}})
        primitives.append({"attributes": attrs, "indices": len(accessors) - 1, "material": len(mats) - 1, "mode": 4})
    while len(blob) % 4:
        blob.append(0)
    stem = name.rsplit(".", 1)[0]
    doc = {
        "asset": {"version": "2.0", "generator": "tools/make_models.py"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": [{"name": stem, "mesh": 0}],
        "meshes": [{"name": stem, "primitives": primitives}],
        "materials": mats,
        "accessors": accessors,
        "bufferViews": views,
        "buffers": [{"byteLength": len(blob)}],
    }
    js = json.dumps(doc, separators=(",", ":"), sort_keys=True).encode("ascii")
    js += b" " * ((4 - len(js) % 4) % 4)
    total = 12 + 8 + len(js) + 8 + len(blob)
    out = struct.pack("<4sII", b"glTF", 2, total)
    out += struct.pack("<I4s", len(js), b"JSON") + js
    out += struct.pack("<I4s", len(blob), b"BIN\0") + bytes(blob)
    with open(os.path.join(MODELS, name), "wb") as f:
        f.write(out)
    return [name]


class Node:
    """A Collada node: its own matrix (relative to the parent), geometry ids, children."""

    def __init__(self, name, matrix, geometries=(), children=()):
        self.name = name
        self.matrix = matrix
        self.geometries = list(geometries)
        self.children = list(children)


def scaled_tree(node, k):
    """The same tree with everything k times larger: only the translations change."""
    m = [row[:] for row in node.matrix]
    for i in range(3):
        m[i][3] *= k
    return Node(node.name, m, node.geometries, [scaled_tree(c, k) for c in node.children])


def bake(node, geometries, parent=None):
    """The mesh the viewer's import makes of a node tree: parent x child down the tree."""
    world = m_mul(parent, node.matrix) if parent is not None else node.matrix
    out = Mesh()
    for gid in node.geometries:
        out.extend(geometries[gid].transformed(world))
    for child in node.children:
        out.extend(bake(child, geometries, world))
    return out


def write_dae(name, root, geometries, materials, comment):
    """Collada 1.4.1: every node has a <matrix>, child nodes are relative to their parent."""
    out = ['<?xml version="1.0" encoding="utf-8"?>',
           '<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">',
           "  <asset>",
           "    <contributor><authoring_tool>tools/make_models.py</authoring_tool>"
           f"<comments>{comment}</comments></contributor>",
           "    <created>2024-01-01T00:00:00Z</created>",
           "    <modified>2024-01-01T00:00:00Z</modified>",
           '    <unit name="meter" meter="1"/>',
           "    <up_axis>Y_UP</up_axis>",
           "  </asset>"]
    used = []
    for g in geometries.values():
        for t in g.tags():
            if t not in used:
                used.append(t)
    out.append("  <library_effects>")
    for t in used:
        r, g, b = materials[t]
        out += [f'    <effect id="{t}-effect">', "      <profile_COMMON>", '        <technique sid="common">',
                "          <phong>",
                f'            <diffuse><color sid="diffuse">{fnum(r, 4)} {fnum(g, 4)} {fnum(b, 4)} 1</color></diffuse>',
                '            <specular><color sid="specular">0.1 0.1 0.1 1</color></specular>',
                '            <shininess><float sid="shininess">20</float></shininess>',
                "          </phong>", "        </technique>", "      </profile_COMMON>", "    </effect>"]
    out.append("  </library_effects>")
    out.append("  <library_materials>")
    for t in used:
        out.append(f'    <material id="{t}-material" name="{t}"><instance_effect url="#{t}-effect"/></material>')
    out.append("  </library_materials>")
    out.append("  <library_geometries>")
    for gid, g in geometries.items():
        n = len(g.pos)
        out += [f'    <geometry id="{gid}-mesh" name="{gid}">', "      <mesh>"]
        for sem, rows, digits in (("positions", g.pos, 4), ("normals", g.nrm, 3)):
            vals = " ".join(fnum(x, digits) for r in rows for x in r)
            out += [f'        <source id="{gid}-{sem}">',
                    f'          <float_array id="{gid}-{sem}-array" count="{3 * n}">{vals}</float_array>',
                    "          <technique_common>",
                    f'            <accessor source="#{gid}-{sem}-array" count="{n}" stride="3">',
                    '              <param name="X" type="float"/><param name="Y" type="float"/>'
                    '<param name="Z" type="float"/>',
                    "            </accessor>", "          </technique_common>", "        </source>"]
        out += [f'        <vertices id="{gid}-vertices"><input semantic="POSITION" source="#{gid}-positions"/></vertices>']
        for t in g.tags():
            tris = [tri for tri, tt in zip(g.tri, g.tag) if tt == t]
            p = " ".join(f"{i} {i}" for tri in tris for i in tri)
            out += [f'        <triangles material="{t}" count="{len(tris)}">',
                    f'          <input semantic="VERTEX" source="#{gid}-vertices" offset="0"/>',
                    f'          <input semantic="NORMAL" source="#{gid}-normals" offset="1"/>',
                    f"          <p>{p}</p>", "        </triangles>"]
        out += ["      </mesh>", "    </geometry>"]
    out.append("  </library_geometries>")
    out.append("  <library_visual_scenes>")
    out.append(f'    <visual_scene id="scene" name="{name.rsplit(".", 1)[0]}">')

    def emit(node, depth):
        pad = "  " * depth
        out.append(f'{pad}<node id="{node.name}" name="{node.name}" type="NODE">')
        out.append(f'{pad}  <matrix sid="transform">' + " ".join(fnum(x, 6) for row in node.matrix for x in row)
                   + "</matrix>")
        for gid in node.geometries:
            out.append(f'{pad}  <instance_geometry url="#{gid}-mesh">')
            out.append(f"{pad}    <bind_material><technique_common>")
            for t in geometries[gid].tags():
                out.append(f'{pad}      <instance_material symbol="{t}" target="#{t}-material"/>')
            out.append(f"{pad}    </technique_common></bind_material>")
            out.append(f"{pad}  </instance_geometry>")
        for child in node.children:
            emit(child, depth + 1)
        out.append(f"{pad}</node>")

    emit(root, 3)
    out += ["    </visual_scene>", "  </library_visual_scenes>",
            '  <scene><instance_visual_scene url="#scene"/></scene>', "</COLLADA>"]
    write_text(os.path.join(MODELS, name), "\n".join(out) + "\n")
    return [name]


# ---------------------------------------------------------------- model bookkeeping

def bbox(mesh):
    lo = tuple(min(p[i] for p in mesh.pos) for i in range(3))
    hi = tuple(max(p[i] for p in mesh.pos) for i in range(3))
    return lo, hi


def bbox_centre(mesh):
    lo, hi = bbox(mesh)
    return v_scale(v_add(lo, hi), 0.5)


class Placed:
    """One scene entry: a model file where the viewer will show it."""

    def __init__(self, file, centre, rotation=(0.0, 0.0, 0.0), cancut=True, canbecut=True, local=None):
        self.file = file
        self.t = centre
        self.r = rotation
        self.s = 1.0
        self.cancut = cancut
        self.canbecut = canbecut
        self.local = local


def place(file, mesh, at=(0.0, 0.0, 0.0), rotation=(0.0, 0.0, 0.0), **flags):
    """The viewer shows a file centred on its bounding box and rotates it about that
    centre; the translation that puts the file's own origin at 'at' is at + R*centre."""
    c = bbox_centre(mesh)
    t = v_add(at, m_dir_raw(euler_xyz(*rotation), c))
    return Placed(file, t, rotation, **flags)


def write_scene(name, entries, global_angle=30):
    # same layout as the viewer's own "savescene" output, so a load and save round-trips
    lines = [f"global {gnum(global_angle)}", ""]
    for e in entries:
        lines += ["meshnode", f"file {e.file}", "t " + " ".join(gnum(round(x, 4)) for x in e.t),
                  f"s {gnum(round(e.s, 4))}", "r " + " ".join(gnum(round(x, 5)) for x in e.r),
                  f"cancut {'on' if e.cancut else 'off'}", f"canbecut {'on' if e.canbecut else 'off'}"]
        if e.local is not None:
            lines.append(f"local {gnum(e.local)}")
        lines += ["endmeshnode", ""]
    write_text(os.path.join(SCENES, name), "\n".join(lines) + "\n")


def scaled_group(entries, scale, group_centre, target):
    """Shrinks a whole scene about group_centre and moves that point to target."""
    out = []
    for e in entries:
        p = Placed(e.file, v_add(target, v_scale(v_sub(e.t, group_centre), scale)), e.r,
                   e.cancut, e.canbecut, e.local)
        p.s = e.s * scale
        out.append(p)
    return out


# ---------------------------------------------------------------- the globe

def direction(lat_deg, lon_deg):
    la, lo = math.radians(lat_deg), math.radians(lon_deg)
    return (math.cos(la) * math.sin(lo), math.sin(la), math.cos(la) * math.cos(lo))


# Rough continents as caps on the sphere (lat, lon, angular radius in degrees);
# longitude 0 faces +z, the side the default camera sees.
CONTINENTS = [(50, 25, 20), (12, 30, 20), (-15, 35, 15), (50, 85, 30), (25, 110, 20),
              (45, -80, 24), (18, -68, 9), (-12, -45, 18), (-25, 160, 14), (66, -25, 9)]


def land_height(d):
    best = -1.0
    for lat, lon, rad in CONTINENTS:
        best = max(best, v_dot(d, direction(lat, lon)) - math.cos(math.radians(rad)))
    coast = (0.05 * math.sin(9.0 * d[0] + 1.3) * math.sin(7.0 * d[1] + 0.4) * math.sin(8.0 * d[2] + 2.1)
             + 0.03 * math.sin(17.0 * d[0] + 13.0 * d[2]) + 0.02 * math.sin(23.0 * d[1] - 11.0 * d[0]))
    return best + coast


def globe():
    files = []
    placed = []
    # crust: outside split into ocean, land and ice; the cavity wall is rock
    crust = shell_sphere(12.0, 10.5, 96, 48)

    def crust_material(mesh, i, tag):
        if tag == "inner":
            return "rock"
        d = v_norm(mesh.centroid_of(i))
        lat = math.degrees(math.asin(max(-1.0, min(1.0, d[1]))))
        if abs(lat) > 74.0:
            return "ice"
        return "land" if land_height(d) > 0.0 else "ocean"

    crust.retag_by(crust_material)
    check_solid("globe_crust", crust, expect_cavities=1)
    crust_colours = {"ocean": rgb255(46, 120, 190), "land": rgb255(84, 160, 78),
                     "ice": rgb255(226, 238, 242), "rock": rgb255(140, 112, 88)}
    files += write_obj("globe_crust", crust, crust_colours, "globe crust: hollow shell, radius 12 outside, 10.5 inside")
    placed.append(place("globe_crust.obj", crust))

    # mantle: vertex colours, hot orange outside, deeper red on the cavity wall, with convection streaks
    mantle = shell_sphere(10.0, 6.5, 72, 36)

    def mantle_colour(p, n):
        r = math.sqrt(v_dot(p, p))
        d = v_scale(p, 1.0 / r)
        swirl = 0.5 + 0.5 * math.sin(5.0 * d[0] + 3.0 * math.sin(4.0 * d[1]) + 2.0 * d[2])
        base = rgb255(240, 140, 40) if r > 8.0 else rgb255(214, 82, 32)
        return v_lerp(base, rgb255(250, 180, 70), 0.35 * swirl)

    mantle.paint(mantle_colour)
    check_solid("globe_mantle", mantle, expect_cavities=1)
    files += write_ply("globe_mantle.ply", mantle, "globe mantle: hollow shell, radius 10 outside, 6.5 inside")
    placed.append(place("globe_mantle.ply", mantle))

    # outer core: a shell so the inner core sits in a cavity instead of inside a solid
    outer_core = shell_sphere(6.0, 3.4, 64, 32)
    outer_core.retag({"outer": "outer_core", "inner": "outer_core_cavity"})
    check_solid("globe_outer_core", outer_core, expect_cavities=1)
    files += write_glb("globe_outer_core.glb", outer_core,
                       {"outer_core": rgb255(250, 206, 60), "outer_core_cavity": rgb255(236, 170, 40)}, False)
    placed.append(place("globe_outer_core.glb", outer_core))

    inner_core = sphere(3.0, 48, 24, "inner_core")
    inner_core.paint(lambda p, n: v_lerp(rgb255(210, 30, 30), rgb255(250, 90, 40), 0.5 + 0.5 * n[1]))
    check_solid("globe_inner_core", inner_core)
    files += write_glb("globe_inner_core.glb", inner_core, {}, True)
    placed.append(place("globe_inner_core.glb", inner_core))
    return files, placed


def moon():
    m = sphere(3.0, 48, 24, "moon")

    def colour(p, n):
        mare = max(0.0, v_dot(n, v_norm((0.4, 0.5, 0.76))) - 0.6) * 2.0
        mare += max(0.0, v_dot(n, v_norm((-0.7, -0.2, 0.68))) - 0.75) * 3.0
        speck = 0.04 * math.sin(21.0 * n[0]) * math.sin(17.0 * n[1] + 1.0) * math.sin(19.0 * n[2] + 2.0)
        return v_lerp(rgb255(196, 196, 202), rgb255(120, 120, 132), min(1.0, mare + speck + 0.04))

    m.paint(colour)
    check_solid("moon", m)
    return write_ply("moon.ply", m, "moon: solid sphere radius 3"), m


# ---------------------------------------------------------------- the machine

MODULE = 0.5
GEAR_THICKNESS = 2.0
BORE = 0.7
SHAFT_RADIUS = 0.72  # a little wider than the bore so no gap shows between gear and shaft
MACHINE_SCALE = 1.2  # designed in gear modules, shown a little larger to fill the default view


def machine():
    files = []
    k = MACHINE_SCALE

    def grow(mesh):
        return mesh.transformed(m_scale(k))

    large = grow(gear(24, MODULE, GEAR_THICKNESS, BORE, "gear_large"))
    small = grow(gear(12, MODULE, GEAR_THICKNESS, BORE, "gear_small"))
    medium = grow(gear(16, MODULE, GEAR_THICKNESS, BORE, "gear_medium"))
    for name, g in (("gear_large", large), ("gear_small", small), ("gear_medium", medium)):
        check_solid(name, g)
    files += write_obj("gear_large", large, {"gear_large": rgb255(206, 64, 52)},
                       "large spur gear, 24 teeth, module 0.5, axis along z")
    small.paint(lambda p, n: rgb255(52, 110, 200) if abs(n[2]) < 0.5 else rgb255(80, 140, 220))
    files += write_ply("gear_small.ply", small, "small spur gear, 12 teeth, module 0.5, axis along z")
    files += write_glb("gear_medium.glb", medium, {"gear_medium": rgb255(70, 166, 90)}, False)

    # Gear train: large in the middle, small up-left, medium down-right; pitch circles touch.
    teeth = {"large": 24, "small": 12, "medium": 16}
    pitch = {g: v * MODULE / 2.0 for g, v in teeth.items()}
    centres = {"large": (0.0, 0.0)}
    angle = {"large": 0.0}
    for name, heading in (("small", 150.0), ("medium", -25.0)):
        phi = math.radians(heading)
        dist = pitch["large"] + pitch[name]
        centres[name] = (dist * math.cos(phi), dist * math.sin(phi))
        # Tooth phase of the large gear along the line of centres (0 = tooth, 0.5 = gap);
        # the partner must show the complementary phase looking back along that line.
        p_large = ((phi - angle["large"]) * teeth["large"] / TAU) % 1.0
        alpha = phi + math.pi - TAU * (0.5 - p_large) / teeth[name]
        angle[name] = alpha % (TAU / teeth[name])
    tips = {g: pitch[g] + MODULE for g in teeth}
    lo_x = min(centres[g][0] - tips[g] for g in teeth)
    hi_x = max(centres[g][0] + tips[g] for g in teeth)
    lo_y = min(centres[g][1] - tips[g] for g in teeth)
    hi_y = max(centres[g][1] + tips[g] for g in teeth)
    shift = (-(lo_x + hi_x) / 2.0, -(lo_y + hi_y) / 2.0)
    centres = {g: (round((x + shift[0]) * k, 4), round((y + shift[1]) * k, 4)) for g, (x, y) in centres.items()}

    # Housing: a hollow box around the gears, lid, handle and four feet.
    margin, wall = 1.2, 0.8
    half_in = ((hi_x - lo_x) / 2.0 + margin, (hi_y - lo_y) / 2.0 + margin, GEAR_THICKNESS / 2.0 + 1.6)
    half_out = tuple(h + wall for h in half_in)
    body = merge(box(v_scale(half_out, -1.0), half_out, "housing"),
                 box(v_scale(half_in, -1.0), half_in, "housing_inside").flipped())
    lid_half = (half_out[0] + 0.4, 0.45, half_out[2] + 0.4)
    lid = box(v_scale(lid_half, -1.0), lid_half, "lid")
    # bar and posts overlap: a union of boxes, each closed by itself
    handle = merge(box((-3.2, 1.0, -0.35), (3.2, 1.5, 0.35), "handle"),
                   box((-3.0, -0.2, -0.3), (-2.4, 1.2, 0.3), "handle"),
                   box((2.4, -0.2, -0.3), (3.0, 1.2, 0.3), "handle"))
    foot = box((-1.2, -0.6, -1.2), (1.2, 0.6, 1.2), "feet")
    geometries = {"body": grow(body), "lid": grow(lid), "handle": grow(handle), "foot": grow(foot)}
    fx, fz = half_out[0] - 2.0, half_out[2] - 1.6
    foot_y = -half_out[1] - 0.45
    root = Node("housing", m_translate(0.0, -1.0, 0.0), children=[
        Node("body", m_translate(0.0, 1.0, 0.0), ["body"], children=[
            Node("lid", m_translate(0.0, half_out[1] + 0.35, 0.0), ["lid"], children=[
                Node("handle", m_translate(0.0, 0.45, 0.0), ["handle"])]),
            Node("foot_front_left", m_translate(-fx, foot_y, fz), ["foot"]),
            Node("foot_front_right", m_translate(fx, foot_y, fz), ["foot"]),
            Node("foot_back_left", m_translate(-fx, foot_y, -fz), ["foot"]),
            Node("foot_back_right", m_translate(fx, foot_y, -fz), ["foot"]),
        ])])
    root = scaled_tree(root, k)
    housing = bake(root, geometries)
    check_solid("machine_housing", housing, expect_cavities=1)
    files += write_dae("machine_housing.dae", root, geometries,
                       {"housing": rgb255(150, 156, 166), "housing_inside": rgb255(200, 200, 192),
                        "lid": rgb255(92, 108, 130), "handle": rgb255(232, 150, 40), "feet": rgb255(56, 56, 64)},
                       "machine housing: hollow box with lid, handle and feet as child nodes")

    # Shaft: along z from inside the back wall to a knob in front of the housing
    # (turning +y onto +z keeps the knob at the front).
    z_back = -half_in[2] - wall * 0.5
    z_front = half_out[2] + 1.2
    shaft = grow(merge(cylinder(SHAFT_RADIUS, z_back, z_front - 0.5, 32, "shaft"),
                       cylinder(1.1, z_front - 0.6, z_front, 32, "knob")).transformed(m_rot_x(math.pi / 2)))
    check_solid("shaft", shaft)
    files += write_glb("shaft.glb", shaft, {"shaft": rgb255(176, 182, 192), "knob": rgb255(214, 170, 60)}, False)

    placed = [place("machine_housing.dae", housing, cancut=False)]
    gear_mesh = {"large": large, "small": small, "medium": medium}
    gear_file = {"large": "gear_large.obj", "small": "gear_small.ply", "medium": "gear_medium.glb"}
    for g in ("large", "small", "medium"):
        x, y = centres[g]
        placed.append(place(gear_file[g], gear_mesh[g], (x, y, 0.0), (0.0, 0.0, round(angle[g], 5))))
    for g in ("large", "small", "medium"):
        x, y = centres[g]
        placed.append(place("shaft.glb", shaft, (x, y, 0.0)))
    return files, placed


# ---------------------------------------------------------------- the house

WALL = 0.6
HOUSE = (10.0, 9.0, 7.0)  # half width, wall height, half depth
FLOOR_Y = -7.5  # the house's floor underside in the scene, before scaling
HOUSE_SCALE = 1.5  # designed in rough metres, shown larger to fill the default view


def house():
    files = []
    hx, hy, hz = HOUSE
    walls = merge(box((-hx, 0.0, -hz), (hx, hy, hz), None).retag(default="plaster"),
                  box((-hx + WALL, WALL, -hz + WALL), (hx - WALL, hy - WALL, hz - WALL), None)
                  .retag({"-y": "floor"}, default="wallpaper").flipped())
    # gable roof, ridge along x, overhanging the walls, sunk 0.2 into their top
    rz, rh, rx = hz + 0.8, 5.5, hx + 0.8
    roof = prism([(-rz, 0.0), (rz, 0.0), (0.0, rh)], -rx, rx)
    roof = roof.retag_by(lambda m, i, t: "gable" if t in ("cap0", "cap1") else
                         ("soffit" if m.nrm[m.tri[i][0]][1] < -0.5 else "roof"))
    roof = roof.transformed(m_rot_y(math.pi / 2))
    chimney = merge(box((-0.8, 0.0, -0.8), (0.8, 5.0, 0.8), None).retag({"+y": "soot"}, default="brick"))
    door = box((-1.4, 0.0, -0.12), (1.4, 5.2, 0.12), "door")
    knob = box((-0.15, -0.15, 0.0), (0.15, 0.15, 0.3), "brass")
    window = box((-1.5, -1.2, -0.1), (1.5, 1.2, 0.1), "glass")
    sill = box((-1.8, -0.15, -0.1), (1.8, 0.15, 0.4), "sill")
    k = HOUSE_SCALE

    def grow(mesh):
        return mesh.transformed(m_scale(k))

    geometries = {"walls": walls, "roof": roof, "chimney": chimney, "door": door, "knob": knob,
                  "window": window, "sill": sill}
    geometries = {g: grow(m) for g, m in geometries.items()}

    def window_node(name, x, z, turn):
        return Node(name, m_chain(m_translate(x, 5.0, z), m_rot_y(turn)), ["window"], children=[
            Node(name + "_sill", m_translate(0.0, -1.33, 0.0), ["sill"])])

    root = Node("house", m_translate(0.0, FLOOR_Y, 0.0), children=[
        Node("walls", m_identity(), ["walls"], children=[
            Node("door", m_translate(0.0, 0.05, hz), ["door"], children=[
                Node("door_knob", m_translate(1.0, 2.6, 0.05), ["knob"])]),
            window_node("window_front_left", -6.0, hz, 0.0),
            window_node("window_front_right", 6.0, hz, 0.0),
            window_node("window_back_left", -6.0, -hz, math.pi),
            window_node("window_back_right", 6.0, -hz, math.pi),
            window_node("window_side_left", -hx, 0.0, -math.pi / 2),
            window_node("window_side_right", hx, 0.0, math.pi / 2),
        ]),
        Node("roof", m_translate(0.0, hy - 0.2, 0.0), ["roof"], children=[
            Node("chimney", m_translate(5.0, 1.0, -2.5), ["chimney"])]),
    ])
    root = scaled_tree(root, k)
    shell = bake(root, geometries)
    check_solid("house_shell", shell, expect_cavities=1)
    files += write_dae("house_shell.dae", root, geometries, {
        "plaster": rgb255(238, 222, 186), "wallpaper": rgb255(196, 220, 186), "floor": rgb255(176, 128, 84),
        "roof": rgb255(190, 72, 52), "gable": rgb255(232, 214, 176), "soffit": rgb255(120, 84, 60),
        "brick": rgb255(160, 70, 56), "soot": rgb255(60, 52, 50), "door": rgb255(116, 70, 38),
        "brass": rgb255(220, 180, 70), "glass": rgb255(140, 192, 230), "sill": rgb255(250, 250, 246)},
        "house: hollow walls with floor and ceiling, gable roof, chimney, door and windows as child nodes")
    placed = [place("house_shell.dae", shell, cancut=False)]

    floor = FLOOR_Y + WALL

    def at(x, z):
        return (x * k, floor * k, z * k)

    # table with a vase
    legs = [box((x - 0.15, 0.0, z - 0.15), (x + 0.15, 3.05, z + 0.15), "table_legs")
            for x in (-2.6, 2.6) for z in (-1.4, 1.4)]
    vase = lathe([(0.0, 4.6), (0.35, 4.6), (0.25, 4.2), (0.5, 3.7), (0.35, 3.28), (0.0, 3.28)], 24, False, "vase")
    table = grow(merge(box((-3.0, 3.0, -1.8), (3.0, 3.3, 1.8), "table_top"), *legs,
                       vase.transformed(m_translate(0.8, 0, 0.3))))
    check_solid("furniture_table", table)
    files += write_obj("furniture_table", table, {"table_top": rgb255(164, 110, 62), "table_legs": rgb255(120, 78, 42),
                                                  "vase": rgb255(64, 120, 200)}, "table with a vase")
    placed.append(place("furniture_table.obj", table, at(-4.5, 0.0)))

    # chair: backrest on its -z side, so it faces +z
    wood, dark, cushion = rgb255(150, 96, 52), rgb255(110, 68, 36), rgb255(200, 56, 60)
    chair_parts = [(box((-0.9, 1.9, -0.9), (0.9, 2.15, 0.9), "c"), wood),
                   (box((-0.8, 2.1, -0.8), (0.8, 2.35, 0.8), "c"), cushion),
                   (box((-0.75, 3.3, -0.84), (0.75, 4.1, -0.66), "c"), wood)]
    chair_parts += [(box((x - 0.1, 0.0, z - 0.1), (x + 0.1, 1.95, z + 0.1), "c"), dark)
                    for x in (-0.7, 0.7) for z in (-0.7, 0.7)]
    chair_parts += [(box((x - 0.1, 2.0, -0.85), (x + 0.1, 4.3, -0.65), "c"), dark) for x in (-0.7, 0.7)]
    chair = Mesh()
    for part, colour in chair_parts:
        chair.extend(part.paint(lambda p, n, c=colour: c))
    chair = grow(chair)
    check_solid("furniture_chair", chair)
    files += write_ply("furniture_chair.ply", chair, "chair with a red cushion, backrest on the -z side")
    placed.append(place("furniture_chair.ply", chair, at(-4.5, -3.0)))
    placed.append(place("furniture_chair.ply", chair, at(-4.5, 3.0), (0.0, math.pi, 0.0)))

    # bed: headboard at +x
    bed = grow(merge(box((-3.2, 0.5, -2.0), (3.2, 1.3, 2.0), "bed_frame"),
                box((3.0, 0.0, -2.1), (3.4, 3.6, 2.1), "bed_frame"),
                box((-3.4, 0.0, -2.1), (-3.0, 2.0, 2.1), "bed_frame"),
                box((-2.95, 1.25, -1.9), (2.95, 2.05, 1.9), "mattress"),
                box((-2.98, 1.95, -1.95), (1.2, 2.2, 1.95), "blanket"),
                box((1.5, 2.0, -1.4), (2.8, 2.45, 1.4), "pillow")))
    check_solid("furniture_bed", bed)
    files += write_obj("furniture_bed", bed, {"bed_frame": rgb255(140, 88, 48), "mattress": rgb255(236, 232, 218),
                                              "blanket": rgb255(72, 110, 190), "pillow": rgb255(248, 248, 250)},
                       "bed with mattress, blanket and pillow, headboard at +x")
    placed.append(place("furniture_bed.obj", bed, at(5.4, -4.0)))

    # floor lamp
    lamp_parts = [(cylinder(0.8, 0.0, 0.25, 32, "lamp"), rgb255(52, 52, 60)),
                  (cylinder(0.1, 0.2, 5.0, 16, "lamp"), rgb255(200, 160, 60)),
                  (lathe([(0.0, 6.2), (0.6, 6.2), (1.1, 4.7), (0.0, 4.7)], 32, False, "lamp"), rgb255(252, 214, 110))]
    lamp = Mesh()
    for part, colour in lamp_parts:
        lamp.extend(part.paint(lambda p, n, c=colour: c))
    lamp = grow(lamp)
    check_solid("furniture_lamp", lamp)
    files += write_glb("furniture_lamp.glb", lamp, {}, True)
    placed.append(place("furniture_lamp.glb", lamp, at(7.8, 0.2)))
    return files, placed


# ---------------------------------------------------------------- main

def main():
    os.makedirs(MODELS, exist_ok=True)
    os.makedirs(SCENES, exist_ok=True)
    globe_files, globe_placed = globe()
    moon_files, moon_mesh = moon()
    machine_files, machine_placed = machine()
    house_files, house_placed = house()

    moon_placed = place("moon.ply", moon_mesh, (19.0, 8.0, -6.0))
    write_scene("s_test.sce", globe_placed + [moon_placed])
    write_scene("machine.sce", machine_placed)
    write_scene("house.sce", house_placed)
    showcase = (scaled_group(globe_placed, 0.6, (0.0, 0.0, 0.0), (-19.0, 0.0, 0.0))
                + scaled_group(machine_placed, 0.45, (0.0, 0.0, 0.0), (0.0, 0.0, 0.0))
                + scaled_group(house_placed, 0.45, (0.0, 0.0, 0.0), (19.0, 0.0, 0.0)))
    write_scene("showcase.sce", showcase)
    for f in globe_files + moon_files + machine_files + house_files:
        print(f"models/{f}: {os.path.getsize(os.path.join(MODELS, f))} bytes")
    for s in ("s_test.sce", "machine.sce", "house.sce", "showcase.sce"):
        print(f"scenes/{s}")


if __name__ == "__main__":
    main()
