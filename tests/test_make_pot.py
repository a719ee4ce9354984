#!/usr/bin/env python3
"""tools/make-pot.py on a small world and sources of its own: what translators get."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

TOOL = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'tools', 'make-pot.py')

CONVERSATION = '''<?xml version="1.0" encoding="UTF-8"?>
<dialogue>
  <text><l>Caf\u00e9 na\u00efve \u2014 it\u2019s &amp; "so"</l><l>Two
lines</l></text>
  <options><o>Yes</o><o>No</o></options>
  <responses>
    <r><dialogue><text><l>Done.</l></text></dialogue></r>
    <r><dialogue><text><l>Really?</l></text>
      <options><o>Yes</o></options>
      <responses><r><dialogue><text><l>Fine.</l></text></dialogue></r></responses>
    </dialogue></r>
  </responses>
</dialogue>
'''

GOALS = '''; a comment
start = See the boss.

[part0]
livery = The warden wants {wanted}; you wear {worn}.

[endings]
1 = Done.
'''

MAP = '''{"layers": [{"type": "tilelayer", "name": "floor"},
 {"type": "group", "layers": [{"type": "objectgroup", "name": "rooms", "objects": [
  {"name": "Hall", "x": 0, "y": 0, "width": 64, "height": 32},
  {"name": "A point", "x": 0, "y": 0, "width": 0, "height": 0, "point": true}]}]}]}
'''

SOURCE = '''const std::string a = tr("a \\"quoted\\" word");
const std::string b = trc("key", "Space") + trc( "key" , "Space");
const char* const rows[] = {N_("walk up"), NC_("key", "Left Ctrl")};
'''


def run(*args):
    return subprocess.run([sys.executable, TOOL, *args], capture_output=True, text=True)


class MakePot(unittest.TestCase):
    def setUp(self):
        self.world = tempfile.mkdtemp(prefix='tarnwick-pot-')
        os.makedirs(os.path.join(self.world, 'res', 'txt'))
        os.makedirs(os.path.join(self.world, 'src', 'dialogue'))
        self.write('res/txt/talk.xml', CONVERSATION)
        self.write('res/txt/other.xml', '<dialogue><text><l>Really?</l></text></dialogue>\n')
        self.write('res/txt/goals.ini', GOALS)
        self.write('src/dialogue/Box.cpp', SOURCE)
        os.makedirs(os.path.join(self.world, 'res', 'maps'))
        self.write('res/maps/testmap.json', MAP)
        self.pot = os.path.join(self.world, 'po', 'tarnwick.pot')

    def tearDown(self):
        shutil.rmtree(self.world)

    def write(self, path, text):
        with open(os.path.join(self.world, path), 'w', encoding='utf-8') as f:
            f.write(text)

    def template(self):
        result = run('--world', self.world, '--sources', os.path.join(self.world, 'src'))
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(self.pot, encoding='utf-8') as f:
            return f.read()

    def test_every_string_with_its_place(self):
        pot = self.template()
        entries = [
            ('a page as written, entities read',
             '#. res/txt/talk.xml: page 1\n#: res/txt/talk.xml:3\n'
             'msgid "Caf\u00e9 na\u00efve \u2014 it\u2019s & \\"so\\""\n'),
            ('a page of two lines', '#: res/txt/talk.xml:3\nmsgid ""\n"Two\\n"\n"lines"\n'),
            ('an answer used twice, both places named',
             '#. res/txt/talk.xml: answer 1\n#. res/txt/talk.xml: after answer 2: answer 1\n'
             '#: res/txt/talk.xml:5 res/txt/talk.xml:9\nmsgid "Yes"\n'),
            ('a response nested two deep', '#. res/txt/talk.xml: after answer 2, answer 1: page 1\n'),
            ('the same page in two files',
             '#. res/txt/other.xml: page 1\n#. res/txt/talk.xml: after answer 2: page 1\n'
             '#: res/txt/other.xml:1 res/txt/talk.xml:8\nmsgid "Really?"\n'),
            ('a goal line, its placeholders marked',
             '#. res/txt/goals.ini: part0.livery\n#: res/txt/goals.ini:5\n#, python-brace-format\n'
             'msgctxt "goal line"\nmsgid "The warden wants {wanted}; you wear {worn}."\n'),
            ('an ending that reads like a page, told apart by its context',
             '#: res/txt/goals.ini:8\nmsgctxt "ending"\nmsgid "Done."\n'),
            ('the page that reads like the ending', '#: res/txt/talk.xml:7\nmsgid "Done."\n'),
            ('a room of the map, in a group', '#: res/maps/testmap.json:3\nmsgctxt "room"\nmsgid "Hall"\n'),
            ('a marked string, unescaped', '#: src/dialogue/Box.cpp:1\nmsgid "a \\"quoted\\" word"\n'),
            ('a marked string with a context, used twice on a line',
             '#: src/dialogue/Box.cpp:2 src/dialogue/Box.cpp:2\nmsgctxt "key"\nmsgid "Space"\n'),
            ('a string marked in a table', '#: src/dialogue/Box.cpp:3\nmsgid "walk up"\n'),
            ('a string marked in a table, with a context', '#: src/dialogue/Box.cpp:3\nmsgctxt "key"\nmsgid "Left Ctrl"\n'),
        ]
        for what, block in entries:
            with self.subTest(what):
                self.assertIn(block, pot)

    def test_translators_tools_read_it(self):
        self.template()
        if shutil.which('msgfmt') is None:
            self.skipTest('msgfmt is not installed')
        result = subprocess.run(['msgfmt', '--check-format', '-o', os.devnull, self.pot], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_check_says_when_the_template_is_out_of_date(self):
        self.template()
        sources = os.path.join(self.world, 'src')
        self.assertEqual(run('--world', self.world, '--sources', sources, '--check').returncode, 0)
        self.write('res/txt/other.xml', '<dialogue><text><l>Changed.</l></text></dialogue>\n')
        result = run('--world', self.world, '--sources', sources, '--check')
        self.assertNotEqual(result.returncode, 0)
        self.assertIn('+msgid "Changed."', result.stdout)

    def test_an_authors_world_alone(self):
        result = run('--world', self.world)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(self.pot, encoding='utf-8') as f:
            pot = f.read()
        self.assertIn('msgid "Fine."', pot)
        self.assertNotIn('src/', pot)
        self.assertNotIn('A point', pot)

    def test_a_folder_without_res_is_refused(self):
        result = run('--world', os.path.join(self.world, 'src'))
        self.assertNotEqual(result.returncode, 0)
        self.assertIn('no res/ folder', result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.world, 'src', 'po')))

    def test_a_malformed_conversation_is_named(self):
        self.write('res/txt/broken.xml', '<dialogue><text><l>Hi</text></dialogue>')
        result = run('--world', self.world)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn('res/txt/broken.xml:1: mismatched tag', result.stderr)


if __name__ == '__main__':
    unittest.main()
