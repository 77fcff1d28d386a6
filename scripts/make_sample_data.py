#!/usr/bin/env python3
"""Writes the editor's sample data: meshes (.x, text, binary and compressed), PNG textures, effect files
and the three catalogs under Data/. Plain Python 3, standard library only. Run from anywhere:

    python3 scripts/make_sample_data.py

Meshes are in left-handed coordinates (x right, y up, z forward) with clockwise front faces, as the
editor draws them. Every output is deterministic, so regenerating changes nothing unless this file did.
"""
import json
import math
import os
import struct
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))


# ---------------------------------------------------------------- meshes

class Material:
    def __init__(self, name, diffuse, power=0.0, specular=(0.0, 0.0, 0.0), emissive=(0.0, 0.0, 0.0), texture=None):
        self.name, self.diffuse, self.power = name, diffuse, power
        self.specular, self.emissive, self.texture = specular, emissive, texture


class Mesh:
    """Vertices with a normal and texture coordinates each; faces are index lists (triangles or quads)."""

    def __init__(self, name):
        self.name = name
        self.positions, self.normals, self.uvs = [], [], []
        self.faces, self.face_materials = [], []

    def vertex(self, p, n, uv=(0.0, 0.0)):
        self.positions.append(p)
        self.normals.append(n)
        self.uvs.append(uv)
        return len(self.positions) - 1

    def face(self, indices, material=0):
        self.faces.append(list(indices))
        self.face_materials.append(material)


class Frame:
    def __init__(self, name, translation=(0.0, 0.0, 0.0), meshes=(), materials=(), children=()):
        self.name, self.translation = name, translation
        self.meshes = list(meshes)  # list of (Mesh, [Material])
        self.children = list(children)


def normalize(v):
    length = math.sqrt(sum(c * c for c in v)) or 1.0
    return tuple(c / length for c in v)


def add_quad(mesh, corners, normal, material=0, uv_scale=1.0):
    """corners in clockwise order seen from the side the normal points to."""
    uvs = [(0.0, 0.0), (uv_scale, 0.0), (uv_scale, uv_scale), (0.0, uv_scale)]
    first = [mesh.vertex(p, normal, uv) for p, uv in zip(corners, uvs)]
    mesh.face(first, material)


def box(name, sx, sy, sz, center=(0.0, 0.0, 0.0), material=0, uv_scale=1.0, mesh=None):
    """An axis-aligned box with flat faces; each face textured with the whole image."""
    mesh = mesh or Mesh(name)
    cx, cy, cz = center
    x0, x1 = cx - sx / 2, cx + sx / 2
    y0, y1 = cy - sy / 2, cy + sy / 2
    z0, z1 = cz - sz / 2, cz + sz / 2
    # Corners go top-left, top-right, bottom-right, bottom-left as seen from outside: clockwise.
    add_quad(mesh, [(x0, y1, z0), (x1, y1, z0), (x1, y0, z0), (x0, y0, z0)], (0, 0, -1), material, uv_scale)  # front
    add_quad(mesh, [(x1, y1, z1), (x0, y1, z1), (x0, y0, z1), (x1, y0, z1)], (0, 0, 1), material, uv_scale)  # back
    add_quad(mesh, [(x0, y1, z1), (x0, y1, z0), (x0, y0, z0), (x0, y0, z1)], (-1, 0, 0), material, uv_scale)  # left
    add_quad(mesh, [(x1, y1, z0), (x1, y1, z1), (x1, y0, z1), (x1, y0, z0)], (1, 0, 0), material, uv_scale)  # right
    add_quad(mesh, [(x0, y1, z1), (x1, y1, z1), (x1, y1, z0), (x0, y1, z0)], (0, 1, 0), material, uv_scale)  # top
    add_quad(mesh, [(x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1)], (0, -1, 0), material, uv_scale)  # bottom
    return mesh


def sphere(name, radius, slices, stacks):
    mesh = Mesh(name)
    rows = []
    for i in range(stacks + 1):
        theta = math.pi * i / stacks  # 0 at the top
        row = []
        for j in range(slices + 1):
            phi = 2 * math.pi * j / slices
            n = (math.sin(theta) * math.cos(phi), math.cos(theta), math.sin(theta) * math.sin(phi))
            row.append(mesh.vertex(tuple(radius * c for c in n), n, (j / slices, i / stacks)))
        rows.append(row)
    for i in range(stacks):
        for j in range(slices):
            a, b = rows[i][j], rows[i][j + 1]
            c, d = rows[i + 1][j + 1], rows[i + 1][j]
            # Seen from outside, a is top-left, b top-right, c bottom-right, d bottom-left.
            if i == 0:
                mesh.face([a, c, d])
            elif i == stacks - 1:
                mesh.face([a, b, c])
            else:
                mesh.face([a, b, c, d])
    return mesh


def lathe(name, radius_bottom, radius_top, y0, y1, slices, material=0, mesh=None):
    """A cylinder or cone around the y axis with its caps."""
    mesh = mesh or Mesh(name)
    slope = (radius_bottom - radius_top) / (y1 - y0)
    ring = []
    for j in range(slices + 1):
        phi = 2 * math.pi * j / slices
        c, s = math.cos(phi), math.sin(phi)
        n = normalize((c, slope, s))
        bottom = mesh.vertex((radius_bottom * c, y0, radius_bottom * s), n, (j / slices, 1.0))
        top = mesh.vertex((radius_top * c, y1, radius_top * s), n, (j / slices, 0.0))
        ring.append((bottom, top))
    for j in range(slices):
        (b0, t0), (b1, t1) = ring[j], ring[j + 1]
        if radius_top > 0:
            mesh.face([t0, t1, b1, b0], material)
        else:
            mesh.face([t0, b1, b0], material)
    for y, r, up in ((y1, radius_top, True), (y0, radius_bottom, False)):
        if r <= 0:
            continue
        n = (0.0, 1.0 if up else -1.0, 0.0)
        center = mesh.vertex((0.0, y, 0.0), n, (0.5, 0.5))
        rim = []
        for j in range(slices + 1):
            phi = 2 * math.pi * j / slices
            c, s = math.cos(phi), math.sin(phi)
            rim.append(mesh.vertex((r * c, y, r * s), n, (0.5 + 0.5 * c, 0.5 - 0.5 * s)))
        for j in range(slices):
            mesh.face([center, rim[j], rim[j + 1]] if not up else [center, rim[j + 1], rim[j]], material)
    return mesh


def prism_roof(name, width, height, depth, material=0):
    """A gable roof: a triangular prism whose ridge runs along z, base at y = 0."""
    mesh = Mesh(name)
    x0, x1, z0, z1 = -width / 2, width / 2, -depth / 2, depth / 2
    left_n = normalize((-height, width / 2, 0.0))
    right_n = normalize((height, width / 2, 0.0))
    add_quad(mesh, [(0.0, height, z1), (0.0, height, z0), (x0, 0.0, z0), (x0, 0.0, z1)], left_n, material)
    add_quad(mesh, [(0.0, height, z0), (0.0, height, z1), (x1, 0.0, z1), (x1, 0.0, z0)], right_n, material)
    front = [mesh.vertex(p, (0, 0, -1), uv) for p, uv in
             (((0.0, height, z0), (0.5, 0.0)), ((x1, 0.0, z0), (1.0, 1.0)), ((x0, 0.0, z0), (0.0, 1.0)))]
    mesh.face(front, material)
    back = [mesh.vertex(p, (0, 0, 1), uv) for p, uv in
            (((0.0, height, z1), (0.5, 0.0)), ((x0, 0.0, z1), (1.0, 1.0)), ((x1, 0.0, z1), (0.0, 1.0)))]
    mesh.face(back, material)
    return mesh


def fmt(value):
    return "%.6f" % value


def text_x(frames):
    """The body of a text .x file (everything after the header line)."""
    out = []

    def material(m, indent):
        pad = " " * indent
        r, g, b, a = m.diffuse
        out.append(f"{pad}Material {m.name} {{")
        out.append(f"{pad}  {fmt(r)};{fmt(g)};{fmt(b)};{fmt(a)};;")
        out.append(f"{pad}  {fmt(m.power)};")
        out.append(f"{pad}  {';'.join(fmt(c) for c in m.specular)};;")
        out.append(f"{pad}  {';'.join(fmt(c) for c in m.emissive)};;")
        if m.texture is not None:
            out.append(f'{pad}  TextureFilename {{ "{m.texture}"; }}')
        out.append(f"{pad}}}")

    def vector_list(values, indent):
        pad = " " * indent
        lines = [pad + ";".join(fmt(c) for c in v) + ";" for v in values]
        out.append(",\n".join(lines) + ";")

    def face_list(faces, indent):
        pad = " " * indent
        lines = [f"{pad}{len(f)};{','.join(str(i) for i in f)};" for f in faces]
        out.append(",\n".join(lines) + ";")

    def mesh(m, materials, indent):
        pad = " " * indent
        out.append(f"{pad}Mesh {m.name} {{")
        out.append(f"{pad}  {len(m.positions)};")
        vector_list(m.positions, indent + 2)
        out.append(f"{pad}  {len(m.faces)};")
        face_list(m.faces, indent + 2)
        out.append(f"{pad}  MeshNormals {{")
        out.append(f"{pad}    {len(m.normals)};")
        vector_list(m.normals, indent + 4)
        out.append(f"{pad}    {len(m.faces)};")
        face_list(m.faces, indent + 4)
        out.append(f"{pad}  }}")
        out.append(f"{pad}  MeshTextureCoords {{")
        out.append(f"{pad}    {len(m.uvs)};")
        vector_list(m.uvs, indent + 4)
        out.append(f"{pad}  }}")
        out.append(f"{pad}  MeshMaterialList {{")
        out.append(f"{pad}    {len(materials)};")
        out.append(f"{pad}    {len(m.faces)};")
        out.append(",\n".join(f"{pad}    {i}" for i in m.face_materials) + ";;")
        for mat in materials:
            material(mat, indent + 4)
        out.append(f"{pad}  }}")
        out.append(f"{pad}}}")

    def frame(f, indent):
        pad = " " * indent
        tx, ty, tz = f.translation
        matrix = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, tx, ty, tz, 1]
        out.append(f"{pad}Frame {f.name} {{")
        out.append(f"{pad}  FrameTransformMatrix {{ {','.join(fmt(v) for v in matrix)};; }}")
        for m, materials in f.meshes:
            mesh(m, materials, indent + 2)
        for child in f.children:
            frame(child, indent + 2)
        out.append(f"{pad}}}")

    for f in frames:
        frame(f, 0)
    return "\n".join(out) + "\n"


class Binary:
    """Tokens of the binary .x format (little-endian, 32-bit floats)."""

    def __init__(self):
        self.data = bytearray()

    def word(self, v):
        self.data += struct.pack("<H", v)

    def name(self, text):
        raw = text.encode("ascii")
        self.word(1)
        self.data += struct.pack("<I", len(raw)) + raw

    def string(self, text):
        raw = text.encode("ascii")
        self.word(2)
        self.data += struct.pack("<I", len(raw)) + raw
        self.word(0x14)  # the semicolon that ends a string

    def ints(self, values):
        self.word(6)
        self.data += struct.pack("<I", len(values)) + struct.pack("<%dI" % len(values), *values)

    def floats(self, values):
        self.word(7)
        self.data += struct.pack("<I", len(values)) + struct.pack("<%df" % len(values), *values)

    def open(self):
        self.word(0x0A)

    def close(self):
        self.word(0x0B)


def binary_x(frames):
    b = Binary()

    def faces(m):
        values = [len(m.faces)]
        for f in m.faces:
            values += [len(f)] + f
        return values

    def mesh(m, materials):
        b.name("Mesh")
        b.name(m.name)
        b.open()
        b.ints([len(m.positions)])
        b.floats([c for p in m.positions for c in p])
        b.ints(faces(m))
        b.name("MeshNormals")
        b.open()
        b.ints([len(m.normals)])
        b.floats([c for n in m.normals for c in n])
        b.ints(faces(m))
        b.close()
        b.name("MeshTextureCoords")
        b.open()
        b.ints([len(m.uvs)])
        b.floats([c for uv in m.uvs for c in uv])
        b.close()
        b.name("MeshMaterialList")
        b.open()
        b.ints([len(materials), len(m.faces)] + m.face_materials)
        for mat in materials:
            b.name("Material")
            b.name(mat.name)
            b.open()
            b.floats(list(mat.diffuse) + [mat.power] + list(mat.specular) + list(mat.emissive))
            if mat.texture is not None:
                b.name("TextureFilename")
                b.open()
                b.string(mat.texture)
                b.close()
            b.close()
        b.close()
        b.close()

    def frame(f):
        tx, ty, tz = f.translation
        b.name("Frame")
        b.name(f.name)
        b.open()
        b.name("FrameTransformMatrix")
        b.open()
        b.floats([1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, tx, ty, tz, 1])
        b.close()
        for m, materials in f.meshes:
            mesh(m, materials)
        for child in f.children:
            frame(child)
        b.close()

    for f in frames:
        frame(f)
    return bytes(b.data)


def write_x(path, frames, kind="text"):
    if kind == "text":
        data = b"xof 0303txt 0032\n" + text_x(frames).encode("ascii")
    elif kind == "binary":
        data = b"xof 0303bin 0032" + binary_x(frames)
    elif kind == "compressed":
        # MSZIP: the total size, then blocks of (plain size, packed size + 2, "CK", raw deflate data).
        body = ("\n" + text_x(frames)).encode("ascii")
        assert len(body) < 32768, "one MSZIP block holds at most 32 KiB"
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        packed = packer.compress(body) + packer.flush()
        data = (b"xof 0303tzip0032" + struct.pack("<I", len(body) + 16) +
                struct.pack("<HH", len(body), len(packed) + 2) + b"CK" + packed)
    else:
        raise ValueError(kind)
    write(path, data)


# ---------------------------------------------------------------- textures

def png(width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows += bytes(pixel(x, y))

    def chunk(kind, payload):
        return (struct.pack(">I", len(payload)) + kind + payload +
                struct.pack(">I", zlib.crc32(kind + payload) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) +
            chunk(b"IEND", b""))


def noise(x, y, seed):
    """A small deterministic hash in 0..1."""
    h = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0


def shade(color, factor):
    return tuple(max(0, min(255, int(c * factor))) for c in color) + (255,)


def crate_pixel(x, y):
    wood = (170, 120, 60)
    border = x < 6 or x > 57 or y < 6 or y > 57
    brace = abs(x - y) < 5 or abs(x + y - 63) < 5
    plank_gap = y % 13 == 0
    if border or brace:
        return shade(wood, 0.75 + 0.1 * noise(x, y, 1))
    if plank_gap:
        return shade(wood, 0.45)
    return shade(wood, 0.95 + 0.1 * noise(x // 3, y, 2))


def brick_pixel(x, y):
    row = y // 8
    offset = 8 if row % 2 else 0
    mortar = y % 8 == 7 or (x + offset) % 16 == 15
    if mortar:
        return (200, 195, 185, 255)
    brick = (x + offset) // 16 + row * 7
    return shade((165, 70, 50), 0.8 + 0.3 * noise(brick, row, 3) + 0.05 * noise(x, y, 4))


def grass_pixel(x, y):
    return shade((70, 140, 50), 0.75 + 0.45 * noise(x, y, 5))


def stone_pixel(x, y):
    cell = noise(x // 16, y // 16, 6)
    edge = x % 16 == 0 or y % 16 == 0
    return shade((130, 130, 135), 0.55 if edge else 0.85 + 0.2 * cell + 0.1 * noise(x, y, 7))


# ---------------------------------------------------------------- effects

BASIC_FX = r"""// Lit, textured drawing with one directional light.
float4x4 World : WORLD;
float4x4 ViewProjection : VIEWPROJECTION
<
    string UIName = "View x Projection";
>;
float3 LightDirection : DIRECTION = { 0.0f, -1.0f, 1.0f };
float4 MaterialDiffuse : DIFFUSE = float4(1.0f, 1.0f, 1.0f, 1.0f);
float Ambient
<
    string UIName = "Ambient";
    float UIMin = 0.0f;
    float UIMax = 1.0f;
> = 0.25f;

texture DiffuseMap
<
    string ResourceName = "Data/texture/crate.png";
>;

sampler DiffuseSampler = sampler_state
{
    Texture = <DiffuseMap>;
    MinFilter = LINEAR;
    MagFilter = LINEAR;
    MipFilter = LINEAR;
    AddressU = WRAP;
    AddressV = WRAP;
};

struct VS_INPUT
{
    float3 position : POSITION;
    float3 normal : NORMAL;
    float4 color : COLOR0;
    float2 uv : TEXCOORD0;
};

struct VS_OUTPUT
{
    float4 position : POSITION;
    float4 color : COLOR0;
    float2 uv : TEXCOORD0;
};

VS_OUTPUT RenderVS(VS_INPUT input)
{
    VS_OUTPUT output;
    float4 world = mul(float4(input.position, 1.0f), World);
    output.position = mul(world, ViewProjection);
    float3 normal = normalize(mul(input.normal, (float3x3)World));
    float light = saturate(dot(normal, -normalize(LightDirection)));
    output.color = MaterialDiffuse * input.color * (Ambient + (1.0f - Ambient) * light);
    output.uv = input.uv;
    return output;
}

float4 RenderPS(VS_OUTPUT input) : COLOR0
{
    return tex2D(DiffuseSampler, input.uv) * input.color;
}

float4 WirePS(VS_OUTPUT input) : COLOR0
{
    return float4(1.0f, 1.0f, 1.0f, 1.0f);
}

technique Render
<
    string Description = "Lit and textured";
>
{
    pass P0
    {
        CullMode = CCW;
        ZEnable = TRUE;
        VertexShader = compile vs_2_0 RenderVS();
        PixelShader = compile ps_2_0 RenderPS();
    }
}

technique RenderWire
{
    pass P0
    {
        FillMode = WIREFRAME;
        VertexShader = compile vs_2_0 RenderVS();
        PixelShader = compile ps_2_0 WirePS();
    }
}
"""

PLAIN_FX = r"""// One flat colour, in the newer effect syntax.
cbuffer PerObject : register(b0)
{
    float4x4 WorldViewProjection;
    float4 Color = float4(0.8f, 0.8f, 0.8f, 1.0f);
};

struct VertexIn
{
    float3 position : POSITION;
};

float4 PlainVS(VertexIn input) : SV_POSITION
{
    return mul(float4(input.position, 1.0f), WorldViewProjection);
}

float4 PlainPS(float4 position : SV_POSITION) : SV_TARGET
{
    return Color;
}

technique11 Plain
{
    pass P0
    {
        SetVertexShader(CompileShader(vs_5_0, PlainVS()));
        SetPixelShader(CompileShader(ps_5_0, PlainPS()));
    }
}
"""


# ---------------------------------------------------------------- output

def write(relative, data):
    path = os.path.join(ROOT, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(path, "wb") as f:
        f.write(data)


def write_json(relative, value):
    write(relative, json.dumps(value, indent=2, ensure_ascii=False) + "\n")


def main():
    white = (1.0, 1.0, 1.0, 1.0)

    write_x("Data/model/sphere.x", [Frame("Sphere", meshes=[
        (sphere("SphereMesh", 5.0, 16, 12), [Material("Pointer", (1.0, 0.75, 0.2, 1.0), 20.0, (0.5, 0.5, 0.5))])])])
    write_x("Data/model/box.x", [Frame("Box", meshes=[
        (box("BoxMesh", 20, 20, 20), [Material("Slate", (0.45, 0.55, 0.7, 1.0))])])])
    write_x("Data/model/cylinder.x", [Frame("Cylinder", meshes=[
        (lathe("CylinderMesh", 8, 8, -10, 10, 24), [Material("Teal", (0.2, 0.65, 0.6, 1.0), 10.0, (0.3, 0.3, 0.3))])])],
            kind="binary")
    write_x("Data/model/cone.x", [Frame("Cone", meshes=[
        (lathe("ConeMesh", 10, 0, -10, 10, 24), [Material("Red", (0.85, 0.25, 0.2, 1.0))])])], kind="compressed")
    write_x("Data/model/crate.x", [Frame("Crate", meshes=[
        (box("CrateMesh", 20, 20, 20), [Material("Crate", white, texture="Data/texture/crate.png")])])])
    write_x("Data/model/floor.x", [Frame("Floor", meshes=[
        (box("FloorMesh", 40, 2, 40, uv_scale=4.0), [Material("Grass", white, texture="Data/texture/grass.png")])])])

    # A house: walls and a door in one mesh with two materials, the roof in a child frame. The wall
    # texture is named the way a file written on Windows names it.
    walls = box("WallsMesh", 30, 20, 24, center=(0, 10, 0), material=0)
    door = [walls.vertex(p, (0, 0, -1), uv) for p, uv in (((-4, 12, -12.1), (0, 0)), ((4, 12, -12.1), (1, 0)),
                                                           ((4, 0, -12.1), (1, 1)), ((-4, 0, -12.1), (0, 1)))]
    walls.face(door, 1)
    house_materials = [Material("Brick", white, texture="Data\\texture\\brick.png"),
                       Material("Door", (0.4, 0.25, 0.12, 1.0), 5.0, (0.2, 0.2, 0.2))]
    write_x("Data/model/house.x", [Frame("House", meshes=[(walls, house_materials)], children=[
        Frame("Roof", translation=(0, 20, 0), meshes=[
            (prism_roof("RoofMesh", 34, 12, 28), [Material("Tiles", (0.55, 0.2, 0.15, 1.0), 8.0, (0.1, 0.1, 0.1))])])])])

    write_x("Data/model/tree.x", [Frame("Tree", children=[
        Frame("Trunk", meshes=[(lathe("TrunkMesh", 2.5, 2, 0, 12, 12), [Material("Bark", (0.45, 0.3, 0.15, 1.0))])]),
        Frame("Crown", translation=(0, 10, 0), meshes=[
            (lathe("CrownMesh", 10, 0, 0, 24, 16), [Material("Leaves", (0.2, 0.55, 0.2, 1.0), 0.0, (0, 0, 0),
                                                              (0.02, 0.05, 0.02))])])])])

    write("Data/texture/crate.png", png(64, 64, crate_pixel))
    write("Data/texture/brick.png", png(64, 64, brick_pixel))
    write("Data/texture/grass.png", png(64, 64, grass_pixel))
    write("Data/texture/stone.png", png(64, 64, stone_pixel))

    write("Data/shader/basic.fx", BASIC_FX)
    write("Data/shader/plain.fx", PLAIN_FX)

    write_json("Data/FILE/model.json", {"MODEL": [
        ["SPHERE", "Data/model/sphere.x"],
        ["box", "Data/model/box.x"],
        ["cylinder", "Data/model/cylinder.x"],
        ["cone", "Data/model/cone.x"],
        ["crate", "Data/model/crate.x"],
        ["house", "Data/model/house.x"],
        ["tree", "Data/model/tree.x"],
        ["floor", "Data/model/floor.x"],
    ]})
    write_json("Data/FILE/texture.json", {"TEXTURE": [
        ["crate", "Data/texture/crate.png"],
        ["brick", "Data/texture/brick.png"],
        ["grass", "Data/texture/grass.png"],
        ["stone", "Data/texture/stone.png"],
    ]})
    write_json("Data/FILE/shader.json", {"SHADER": [
        {"Label": "basic", "Path": "Data/shader/basic.fx",
         "Technique": {"Technique0": "Render", "Technique1": "RenderWire"},
         "Parameter": {"Parameter0": "World", "Parameter1": "ViewProjection", "Parameter2": "DiffuseMap",
                       "Parameter3": "LightDirection"}},
        {"Label": "plain", "Path": "Data/shader/plain.fx"},
    ]})


if __name__ == "__main__":
    main()
