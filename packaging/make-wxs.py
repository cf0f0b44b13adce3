#!/usr/bin/env python3
"""Writes the WiX source of a Quillbox installer package.

    make-wxs.py --arch x64|x86 --version 1.2.3 --rows rows.tsv --bin DIR --out Quillbox.wxs

rows.tsv is what qb_regrows prints for the package's platform: the registry rows the DLL's own
DllRegisterServer writes. They become rows of the Registry table, because Windows Installer does
not self-register; the tokens <module> and <folder> become the installed DLL's path and folder.
DIR holds exactly what ships: Quillbox.dll and the files it reads beside it (tools/package.sh
stages it). The sources of the files are written relative to it, so wixl is run there.
"""
import argparse
import pathlib
import re
import sys
import uuid
from xml.sax.saxutils import quoteattr

# Fixed for every version of a package; the two architectures install side by side, so each has
# its own.
UPGRADE_CODES = {
    "x64": "949662EE-3B1F-4895-85A8-64B21274EF6D",
    "x86": "801BF383-87BC-4A9B-ACA7-3195615E2B35",
}
# Component GUIDs are made from this namespace, the architecture and the component's name, so that
# they stay the same from one version to the next.
COMPONENT_NAMESPACE = uuid.UUID("619548AB-F607-444D-A3A1-52933CDC9327")

def component_guid(arch, name):
    return str(uuid.uuid5(COMPONENT_NAMESPACE, f"{arch}/{name}")).upper()


def read_rows(path):
    rows = []
    for n, line in enumerate(pathlib.Path(path).read_text(encoding="utf-8").splitlines(), 1):
        line = line.rstrip("\r")
        if not line:
            continue
        parts = line.split("\t")
        if len(parts) != 3 or not parts[0]:
            sys.exit(f"make-wxs: {path}:{n}: not a registry row: {line!r}")
        rows.append(parts)
    if not rows:
        sys.exit(f"make-wxs: {path}: no registry rows")
    return rows


def formatted(value):
    """A row value as a Windows Installer formatted string."""
    if value == "<module>":
        return "[#QuillboxDll]"
    if value == "<folder>":
        return "[INSTALLDIR]"
    # Brackets and braces have a meaning in formatted text: [\[] and [\]] stand for themselves.
    # A GUID in braces is left alone by the installer, so only square brackets are escaped.
    return re.sub(r"[\[\]]", lambda m: "[\\" + m.group(0) + "]", value)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--arch", choices=["x64", "x86"], required=True)
    ap.add_argument("--version", required=True)
    ap.add_argument("--rows", required=True)
    ap.add_argument("--bin", required=True)
    ap.add_argument("--out", required=True)
    a = ap.parse_args()
    if not re.fullmatch(r"\d+\.\d+\.\d+", a.version):
        sys.exit(f"make-wxs: version {a.version!r} is not major.minor.patch")
    bin_dir = pathlib.Path(a.bin)
    dll = bin_dir / "Quillbox.dll"
    if not dll.is_file():
        sys.exit(f"make-wxs: {dll} is missing")
    win64 = "yes" if a.arch == "x64" else "no"
    program_files = "ProgramFiles64Folder" if a.arch == "x64" else "ProgramFilesFolder"

    out = []
    w = out.append
    w('<?xml version="1.0" encoding="utf-8"?>')
    w('<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">')
    w(f'  <Product Id="*" Name="Quillbox ({a.arch})" Language="1033" Version="{a.version}"')
    w(f'           Manufacturer="Quillbox" UpgradeCode="{{{UPGRADE_CODES[a.arch]}}}">')
    w(f'    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"'
      f' Description="Quillbox relation windows" Manufacturer="Quillbox"/>')
    w('    <MajorUpgrade DowngradeErrorMessage="A newer version of Quillbox is already installed."/>')
    w('    <Media Id="1" Cabinet="quillbox.cab" EmbedCab="yes"/>')
    w('    <Directory Id="TARGETDIR" Name="SourceDir">')
    w(f'      <Directory Id="{program_files}">')
    w('        <Directory Id="INSTALLDIR" Name="Quillbox">')
    refs = []

    def component(name, indent, body):
        refs.append(name)
        w(f'{indent}<Component Id="{name}" Guid="{{{component_guid(a.arch, name)}}}" Win64="{win64}">')
        for line in body:
            w(indent + "  " + line)
        w(f'{indent}</Component>')

    body = [f'<File Id="QuillboxDll" Name="Quillbox.dll" Source="Quillbox.dll" KeyPath="yes"/>']
    for key, name, value in read_rows(a.rows):
        name_attr = f" Name={quoteattr(name)}" if name else ""
        body.append(f'<RegistryValue Root="HKCR" Key={quoteattr(key)}{name_attr} Type="string"'
                    f' Value={quoteattr(formatted(value))}/>')
    component("QuillboxDllComponent", "          ", body)

    # Everything else in DIR ships too, a component per folder (one level deep, as the files the
    # component reads beside itself lie).
    folders = [""] + sorted(p.name for p in bin_dir.iterdir() if p.is_dir())
    for folder in folders:
        files = sorted(p for p in (bin_dir / folder).iterdir() if p.is_file() and p != dll)
        if not files:
            continue
        indent = "          "
        if folder:
            w(f'          <Directory Id="{folder}Dir" Name="{folder}">')
            indent += "  "
        lines = []
        for i, f in enumerate(files):
            keypath = ' KeyPath="yes"' if i == 0 else ""
            lines.append(f'<File Id="{(folder or "Root")}_{i}" Name={quoteattr(f.name)}'
                         f' Source={quoteattr(str(f.relative_to(bin_dir)))}{keypath}/>')
        component(f"{folder or 'Root'}Files", indent, lines)
        if folder:
            w('          </Directory>')

    w('        </Directory>')
    w('      </Directory>')
    w('    </Directory>')
    w('    <Feature Id="Quillbox" Title="Quillbox" Level="1">')
    for r in refs:
        w(f'      <ComponentRef Id="{r}"/>')
    w('    </Feature>')
    w('  </Product>')
    w('</Wix>')
    pathlib.Path(a.out).write_text("\n".join(out) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
