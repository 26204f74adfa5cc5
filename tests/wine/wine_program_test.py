#!/usr/bin/env python3
"""The Windows program as players get it: its executable file, and its runs
under Wine, started by message_box_driver.exe with exact command lines.

    wine_program_test.py --program evenbough.exe --driver message_box_driver.exe --work DIR

Wine gets a prefix of its own under DIR, with the "null" graphics driver so
that message boxes work without a display. When the tests run as root, Wine
runs as the unprivileged user "nobody", so that file permissions count; where
"nobody" cannot reach DIR, a folder under the temporary directory takes its
place, and the programs are run from copies there.
"""

import argparse
import hashlib
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_file import PeFile  # noqa: E402

CAPTION = "Risen 2 Evenbough"
COULD_NOT_OPEN = ("Warning: Could not open and modify ConfigDefault.xml "
                  "(you can still do this manually).")
TOO_LARGE = ("Warning: ConfigDefault.xml is too large and will not be modified "
             "(you can still do this manually).")
CONFIG = "data/ini/ConfigDefault.xml"
STEAM_CONFIG = "SteamApps/common/risen 2/data/ini/ConfigDefault.xml"

ORIGINAL = (b'<Config>\r\n  <Engine\r\n    SpeedTree_Small="1500.0"\r\n'
            b'    SpeedTree_Medium="3500.0"\r\n    SpeedTree_Large="6000.0"\r\n  />\r\n</Config>\r\n')
PATCHED = (b'<Config>\r\n  <Engine\r\n    SpeedTree_Small="3000.0"\r\n'
           b'    SpeedTree_Medium="7000.0"\r\n    SpeedTree_Large="12500.0"\r\n  />\r\n</Config>\r\n')

ARGS = None
NOBODY = 65534
# Debian's "wine" script starts the 32-bit loader, which hands 64-bit programs
# on to the 64-bit one; both are called directly here.
WINE64 = shutil.which("wine64") or "/usr/lib/wine/wine64"
WINE32 = "/usr/lib/wine/wine" if os.path.exists("/usr/lib/wine/wine") else "wine"


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Wine:
    """One Wine prefix for all runs, owned by whoever runs the programs."""

    def __init__(self, work):
        self.as_root = os.geteuid() == 0
        self.user = (["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups"]
                     if self.as_root else [])
        self.work = work = self.reachable(work)
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": work,
            "WINEPREFIX": os.path.join(work, "prefix"),
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "WINEDEBUG": "-all",
            "LANG": "C.UTF-8",
        }
        os.makedirs(work, exist_ok=True)
        self.give_away(work)
        if not os.path.exists(os.path.join(work, "prefix", "system.reg")):
            self.call([WINE64, "wineboot", "-i"])
        self.reg("add", "HKCU\\Software\\Wine\\Drivers", "/v", "Graphics", "/d", "null", "/f")

    def reachable(self, work):
        """`work` if the user that runs Wine can get there, else a folder of
        the same name under the system's temporary directory: a build folder
        under /root, say, is closed to "nobody"."""
        parent = os.path.dirname(os.path.abspath(work))
        probe = subprocess.run(self.user + ["sh", "-c", 'cd "$1"', "sh", parent],
                               capture_output=True)
        if probe.returncode == 0:
            return work
        name = hashlib.sha1(os.path.abspath(work).encode()).hexdigest()[:12]
        return os.path.join(tempfile.gettempdir(), "evenbough-wine-tests-" + name)

    def install(self, path):
        """A copy of `path` in the work folder, where Wine's user can read it."""
        target = os.path.join(self.work, "bin", os.path.basename(path))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(path, target)
        self.give_away(os.path.dirname(target))
        return target

    def give_away(self, path):
        """Hands a directory tree to the user that runs Wine."""
        if not self.as_root:
            return
        for root, dirs, files in os.walk(path):
            os.chown(root, NOBODY, NOBODY)
            for name in files:
                os.lchown(os.path.join(root, name), NOBODY, NOBODY)

    def call(self, command, **kwargs):
        env = dict(self.env, **kwargs.pop("env", {}))
        return subprocess.run(self.user + command, env=env, stdin=kwargs.pop("stdin", subprocess.DEVNULL),
                              capture_output=True, timeout=300, **kwargs)

    def reg(self, *args):
        result = self.call([WINE64, "reg"] + list(args))
        return result.returncode

    @staticmethod
    def loader_for(pe):
        return WINE64 if pe.is_64 else WINE32

    @staticmethod
    def can_run(loader):
        try:
            subprocess.run([loader, "--version"], capture_output=True, timeout=60)
            return True
        except OSError:  # e.g. a kernel that cannot execute 32-bit code
            return False

    def stop(self):
        self.call(["wineserver", "-k"])


class ExecutableFileTest(unittest.TestCase):
    """What Windows reads from the file before the program runs."""

    @classmethod
    def setUpClass(cls):
        cls.pe = PeFile(ARGS.program)

    def test_gui_program_for_its_machine(self):
        self.assertEqual(self.pe.subsystem, 2)  # IMAGE_SUBSYSTEM_WINDOWS_GUI: no console
        self.assertIn(self.pe.machine, (0x14C, 0x8664))
        self.assertEqual(self.pe.is_64, self.pe.machine == 0x8664)

    def test_imports_only_dlls_that_ship_with_windows(self):
        imports = {name.lower() for name in self.pe.imported_dlls()}
        self.assertTrue(imports <= {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll"},
                        imports)
        self.assertTrue({"user32.dll", "advapi32.dll"} <= imports, imports)

    def test_only_resource_is_the_manifest(self):
        resources = self.pe.resources()
        self.assertEqual([r[:3] for r in resources], [(24, 1, 1033)])

    def test_manifest(self):
        v1 = "{urn:schemas-microsoft-com:asm.v1}"
        v2 = "{urn:schemas-microsoft-com:asm.v2}"
        text = self.pe.resources()[0][3]
        self.assertIn(b'xmlns:ms_asmv2="urn:schemas-microsoft-com:asm.v2"', text)
        root = ET.fromstring(text)
        self.assertEqual(root.tag, v1 + "assembly")
        self.assertEqual(root.attrib, {"manifestVersion": "1.0"})
        children = list(root)
        self.assertEqual([c.tag for c in children],
                         [v1 + "assemblyIdentity", v1 + "description", v1 + "dependency",
                          v2 + "trustInfo"])
        identity, description, dependency, trust = children
        self.assertEqual(identity.attrib, {"type": "win32", "processorArchitecture": "*",
                                           "version": "1.0.0.0", "name": "evenbough.exe"})
        self.assertEqual(description.text, "Risen 2 Evenbough setup")
        (dependent,) = list(dependency)
        self.assertEqual(dependent.tag, v1 + "dependentAssembly")
        (shared,) = list(dependent)
        self.assertEqual(shared.tag, v1 + "assemblyIdentity")
        self.assertEqual(shared.attrib, {
            "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0", "type": "win32",
            "language": "*", "processorArchitecture": "*", "publicKeyToken": "6595b64144ccf1df"})
        (security,) = list(trust)
        self.assertEqual(security.tag, v2 + "security")
        (privileges,) = list(security)
        self.assertEqual(privileges.tag, v2 + "requestedPrivileges")
        (level,) = list(privileges)
        self.assertEqual(level.tag, v2 + "requestedExecutionLevel")
        self.assertEqual(level.attrib, {"level": "requireAdministrator", "uiAccess": "false"})
        self.assertEqual(list(level), [])


class WineRunTest(unittest.TestCase):
    """Runs of the program under Wine, checked on the files afterwards."""

    wine = None

    @classmethod
    def setUpClass(cls):
        cls.pe = PeFile(ARGS.program)
        loader = Wine.loader_for(cls.pe)
        if not Wine.can_run(loader):
            raise unittest.SkipTest(
                f"this machine cannot start {loader} (its kernel runs no 32-bit programs)")
        cls.wine = Wine(os.path.abspath(ARGS.work))
        cls.work = cls.wine.work
        cls.program = cls.wine.install(ARGS.program)
        cls.driver = cls.wine.install(ARGS.driver)

    @classmethod
    def tearDownClass(cls):
        if cls.wine is not None:
            cls.wine.stop()

    def setUp(self):
        self.root = os.path.join(self.work, "case-" + self._testMethodName)
        shutil.rmtree(self.root, ignore_errors=True)
        os.makedirs(self.root)
        self.game = os.path.join(self.root, "Risen 2")
        self.steam = os.path.join(self.root, "Steam")
        self.wine.reg("delete", "HKCU\\Software\\Valve\\Steam", "/f")

    def tearDown(self):
        self.wine.reg("delete", "HKCU\\Software\\Valve\\Steam", "/f")
        shutil.rmtree(self.root, ignore_errors=True)

    def write(self, path, content):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content)

    def read(self, path):
        try:
            with open(path, "rb") as f:
                return f.read()
        except OSError:
            return None

    def record_steam(self, kind="REG_SZ", data=None):
        data = windows_path(self.steam) if data is None else data
        self.assertEqual(self.wine.reg("add", "HKCU\\Software\\Valve\\Steam", "/v", "SteamPath",
                                       "/t", kind, "/d", data, "/f"), 0)

    def run_program(self, command_line, trace=""):
        """Starts the program with `command_line` (bytes, verbatim); returns
        the boxes it showed as (caption, text, buttons) and Wine's messages,
        with the trace channel `trace` (e.g. "reg") on."""
        self.wine.give_away(self.root)
        debug = "err+actctx" + (",trace+" + trace if trace else "")
        result = self.wine.call(
            [self.wine.loader_for(self.pe), self.driver, windows_path(self.program)],
            input=command_line, env={"WINEDEBUG": debug}, stdin=None)
        stdout = result.stdout.decode("latin-1").replace("\r", "")
        stderr = result.stderr.decode("latin-1")
        lines = [line.split("\t") for line in stdout.splitlines()]
        self.assertIn(["exit", "0"], lines, stdout + stderr[-2000:])
        self.assertNotIn("err:actctx", stderr)
        boxes = [tuple(line[1:]) for line in lines if line[0] == "box"]
        return boxes, stderr

    def command(self, directory_text):
        return b"evenbough.exe " + directory_text.encode()

    def test_loader_reads_the_manifest_and_binds_common_controls_6(self):
        _, trace = self.run_program(b"evenbough.exe", trace="actctx")
        start = re.search(r'looking for res #0001 in module \S+ L"[^"]*\\\\evenbough\.exe"', trace)
        self.assertIsNotNone(start, "the loader never looked for the manifest")
        ours = trace[start.end():]
        self.assertIn('parse_assembly_identity_elem name=L"evenbough.exe" version=1.0.0.0', ours)
        self.assertIn('Got description L"Risen 2 Evenbough setup"', ours)
        self.assertIn('adding name=L"Microsoft.Windows.Common-Controls" version=6.0.0.0', ours)
        self.assertRegex(ours, r"loading manifest file .*common-controls_6595b64144ccf1df_6\.0")

    def test_game_directory_that_opens_leaves_the_registry_alone(self):
        self.write(os.path.join(self.game, CONFIG), ORIGINAL)
        self.write(os.path.join(self.steam, STEAM_CONFIG), ORIGINAL)
        self.record_steam()
        boxes, trace = self.run_program(self.command(windows_path(self.game)), trace="reg")
        self.assertEqual(boxes, [])
        self.assertEqual(self.read(os.path.join(self.game, CONFIG)), PATCHED)
        self.assertEqual(self.read(os.path.join(self.steam, STEAM_CONFIG)), ORIGINAL)
        self.assertNotIn("Valve", trace)
        self.assertEqual(sorted(os.listdir(os.path.join(self.game, "data/ini"))),
                         ["ConfigDefault.xml"])

    def test_trailing_backslash_and_quoted_program_name(self):
        self.write(os.path.join(self.game, CONFIG), ORIGINAL)
        boxes, _ = self.run_program(b'"C:\\Program Files\\Evenbough\\evenbough.exe"  ' +
                                    windows_path(self.game).encode() + b"\\")
        self.assertEqual(boxes, [])
        self.assertEqual(self.read(os.path.join(self.game, CONFIG)), PATCHED)

    def test_quoted_directory_keeps_its_quotes_so_steam_is_used(self):
        self.write(os.path.join(self.game, CONFIG), ORIGINAL)
        self.write(os.path.join(self.steam, STEAM_CONFIG), ORIGINAL)
        self.record_steam()
        boxes, trace = self.run_program(self.command('"' + windows_path(self.game) + '"'),
                                        trace="reg")
        self.assertEqual(boxes, [])
        self.assertEqual(self.read(os.path.join(self.game, CONFIG)), ORIGINAL)
        self.assertEqual(self.read(os.path.join(self.steam, STEAM_CONFIG)), PATCHED)
        # Opened for querying only (KEY_QUERY_VALUE is 1).
        self.assertIn('L"Software\\\\Valve\\\\Steam",1,', trace)

    def test_no_candidate_opens(self):
        self.record_steam()
        for command in (b"evenbough.exe", self.command(windows_path(self.game))):
            boxes, _ = self.run_program(command)
            self.assertEqual(boxes, [(CAPTION, COULD_NOT_OPEN, "OK")])

    def test_size_limits(self):
        path = os.path.join(self.game, CONFIG)
        largest = b"SpeedTree_Small=1\r\n" + b"x" * (160000 - 19)
        self.write(path, largest)
        boxes, _ = self.run_program(self.command(windows_path(self.game)))
        self.assertEqual(boxes, [])
        self.assertEqual(self.read(path), b'SpeedTree_Small="3000.0"\r\n' + b"x" * (160000 - 19))

        too_large = ORIGINAL + b" " * (160001 - len(ORIGINAL))
        self.write(path, too_large)
        self.write(os.path.join(self.steam, STEAM_CONFIG), ORIGINAL)
        self.record_steam()
        boxes, _ = self.run_program(self.command(windows_path(self.game)))
        self.assertEqual(boxes, [(CAPTION, TOO_LARGE, "OK")])
        self.assertEqual(self.read(path), too_large)
        self.assertEqual(self.read(os.path.join(self.steam, STEAM_CONFIG)), ORIGINAL)

    def test_steam_path_of_other_registry_types(self):
        steam = windows_path(self.steam)
        self.write(os.path.join(self.steam, STEAM_CONFIG), ORIGINAL)
        # Read as text up to the first zero: the first of several strings,
        # references left unexpanded, binary bytes with no zero after them.
        for kind, data in (("REG_EXPAND_SZ", steam), ("REG_MULTI_SZ", steam + "\\0D:\\Other"),
                           ("REG_BINARY", steam.encode().hex())):
            self.write(os.path.join(self.steam, STEAM_CONFIG), ORIGINAL)
            self.record_steam(kind, data)
            boxes, _ = self.run_program(b"evenbough.exe")
            self.assertEqual(boxes, [], kind)
            self.assertEqual(self.read(os.path.join(self.steam, STEAM_CONFIG)), PATCHED, kind)

        self.write(os.path.join(self.steam, STEAM_CONFIG), ORIGINAL)
        self.record_steam("REG_DWORD", "1")
        boxes, _ = self.run_program(b"evenbough.exe")
        self.assertEqual(boxes, [(CAPTION, COULD_NOT_OPEN, "OK")])
        self.assertEqual(self.read(os.path.join(self.steam, STEAM_CONFIG)), ORIGINAL)

    def test_steam_path_too_long_for_the_buffer(self):
        reg_file = os.path.join(self.root, "long.reg")
        self.write(reg_file, b'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Valve\\Steam]\r\n'
                   b'"SteamPath"="' + b"a" * 250000 + b'"\r\n')
        self.wine.give_away(self.root)
        self.assertEqual(self.wine.reg("import", windows_path(reg_file)), 0)
        boxes, _ = self.run_program(b"evenbough.exe")
        self.assertEqual(boxes, [(CAPTION, COULD_NOT_OPEN, "OK")])

    def test_bytes_above_127_and_very_long_command_lines(self):
        # "Risen \xe9" in the ANSI code page (1252 here) is "Risen \u00e9" on disk.
        game = os.path.join(self.root, "Risen \u00e9")
        self.write(os.path.join(game, CONFIG), ORIGINAL)
        command = (b"\xa0evenbough\xe9.exe " + windows_path(self.root).encode() +
                   b"\\Risen \xe9")
        boxes, _ = self.run_program(command)
        self.assertEqual(boxes, [])
        self.assertEqual(self.read(os.path.join(game, CONFIG)), PATCHED)

        boxes, _ = self.run_program(self.command(windows_path(self.game) + "\\" + "x" * 30000))
        self.assertEqual(boxes, [(CAPTION, COULD_NOT_OPEN, "OK")])

    def test_not_a_file_in_the_files_place(self):
        path = os.path.join(self.game, CONFIG)
        os.makedirs(os.path.dirname(path))
        for make in (os.mkdir, lambda p: os.symlink("/dev/zero", p), lambda p: os.mkfifo(p)):
            make(path)
            boxes, _ = self.run_program(self.command(windows_path(self.game)))
            self.assertEqual(boxes, [(CAPTION, COULD_NOT_OPEN, "OK")])
            if os.path.isdir(path) and not os.path.islink(path):
                self.assertEqual(os.listdir(path), [])
                os.rmdir(path)
            else:
                os.remove(path)

    def test_read_only_file_falls_back_then_warns(self):
        path = os.path.join(self.game, CONFIG)
        self.write(path, ORIGINAL)
        self.wine.give_away(self.root)
        os.chmod(path, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        boxes, _ = self.run_program(self.command(windows_path(self.game)))
        self.assertEqual(boxes, [(CAPTION, COULD_NOT_OPEN, "OK")])
        self.assertEqual(self.read(path), ORIGINAL)


def main():
    global ARGS
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--work", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
