"""The behaviour table: every way a run can end, as bytes on disk.

Each case gives the command line, the registry value and the files before a
run, and the exit code, the list's bytes and the log's bytes after it. The
same table drives both builds (see run_behaviour_table.py); a case marked for
one build only says why.
"""

LIST = "Games/Talvenor/theater.lst"  # below drive_c
COPY = "Games/Talvenor/newtheater.lst"
LOG = "CorvantaErrorLog.txt"
BASE = b"C:\\Games\\Talvenor"
AB = b"a.tdf\r\nb.tdf\r\n"
LONG = b"x" * 3000
# Unix symbolic links are invisible to a Windows program under Wine 8: its
# DeleteFileA on one deletes the link's target, where Windows deletes a link
# itself. Cases with planted links therefore run on the native build only.
NATIVE_LINKS = ["native"]


def case(name, tail, before=AB, after=None, code=1, log=None, **extra):
    """A case. `after` defaults to `before` (the list unchanged); a run that
    fails leaves no copy behind; `log` None means no log file after the run."""
    entry = dict(name=name, tail=tail, before=before, code=code, log=log,
                 registry=(1, BASE))
    entry["after"] = before if after is None else after
    entry.update(extra)
    return entry


def failed(name, tail, before=AB, verb=b"add", entry=b"foo", **extra):
    return case(name, tail, before, code=0,
                log=b"Could not " + verb + b" tdf " + entry + b"\r\n", **extra)


def silent(name, tail, before=AB, **extra):
    return case(name, tail, before, code=0, **extra)


CASES = [
    # Edits.
    case("add a new entry", b"-a c.tdf", after=AB + b"c.tdf\r\n"),
    case("add a present entry", b"-a a.tdf"),
    case("remove an entry", b"-r a.tdf", after=b"b.tdf\r\n"),
    case("remove an absent entry", b"-r c.tdf"),
    case("remove every copy", b"-r foo", b"x\r\nfoo\r\nfoo\r\ny\r\nfoo\r\n",
         after=b"x\r\ny\r\n"),
    case("remove the only entry", b"-r foo", b"foo\r\n", after=b""),
    case("add to an empty list", b"-a foo", b"", after=b"foo\r\n"),
    case("remove from an empty list", b"-r foo", b""),
    case("bare LF ends become CR LF", b"-a c", b"a\nb\n", after=b"a\r\nb\r\nc\r\n"),
    case("a bare LF line matches", b"-r foo", b"a\r\nfoo\nb\n", after=b"a\r\nb\r\n"),
    case("comparison is exact", b"-a foo", b"Foo\r\nfoo \r\n",
         after=b"Foo\r\nfoo \r\nfoo\r\n"),
    case("lone CR bytes stay", b"-a c", b"a\rb\r\n\r", after=b"a\rb\r\n\r\r\nc\r\n"),
    case("percent signs stay", b"-a 100%s%n", b"1%d\r\n", after=b"1%d\r\n100%s%n\r\n"),
    case("unterminated last line found", b"-a foo", b"a\r\nfoo"),
    case("line end before an appended entry", b"-a c", b"a\r\nb", after=b"a\r\nb\r\nc\r\n"),
    case("unterminated last line removed", b"-r foo", b"a\r\nfoo", after=b"a\r\n"),
    case("unterminated last line kept", b"-r c", b"a\r\nb"),
    case("a long line is no match for a piece", b"-r " + b"x" * 1023,
         LONG + b"\r\n" + b"x" * 1023 + b"\r\n", after=LONG + b"\r\n"),
    case("a long entry matches its line", b"-a " + LONG, b"a\r\n" + LONG + b"\r\n"),
    case("a Ctrl-Z at the very end is dropped", b"-a c", b"a\r\n\x1a", after=b"a\r\nc\r\n"),
    # Command-line grammar.
    case("no separator after the letter", b"-afoo", after=AB + b"oo\r\n"),
    case("text before the hyphen", b"list -r a.tdf", after=b"b.tdf\r\n"),
    case("a later hyphen is in the entry", b"-r foo-bar", b"foo-bar\r\nfoo\r\n",
         after=b"foo\r\n"),
    case("a dollar ends the entry", b"-a foo$bar", after=AB + b"foo\r\n"),
    case("a trailing blank is in the entry", b"-a foo ", b"foo\r\n", after=b"foo\r\nfoo \r\n"),
    case("quotes and blanks are in the entry", b'-a "my theater.tdf"',
         after=AB + b'"my theater.tdf"\r\n'),
    case("leading blanks are skipped", b"  \t -r a.tdf", after=b"b.tdf\r\n"),
    silent("upper-case letter", b"-A foo"),
    silent("another letter", b"-x foo"),
    silent("no hyphen", b"foo"),
    silent("only a hyphen", b"-"),
    silent("letter at the end", b"-a"),
    silent("nothing after the separator", b"-a "),
    silent("a dollar right after the separator", b"-r $a.tdf"),
    case("empty command line", b"", code=0, log=b"Commandline: \r\n"),
    case("only blanks", b" \t ", code=0, log=b"Commandline: \r\n"),
    # The registry.
    silent("no key", b"-a foo", registry=None),
    silent("value too long for the buffer", b"-a foo", registry=(1, b"C:\\" + b"d" * 1021)),
    failed("longest value that fits", b"-a foo", registry=(1, b"C:\\" + b"d" * 1020)),
    case("trailing backslash in the value", b"-a c", registry=(1, BASE + b"\\"),
         after=AB + b"c\r\n"),
    case("case-insensitive paths", b"-a c", registry=(1, b"c:\\GAMES\\talvenor"),
         after=AB + b"c\r\n"),
    failed("a number as the value", b"-a foo", registry=(4, b"\x2a\x00\x00\x00")),
    failed("a directory without the list", b"-a foo", registry=(1, b"C:\\Games")),
    # Failed edits.
    failed("add to a missing list", b"-a foo", None),
    failed("remove from a missing list", b"-r foo", None, verb=b"remove"),
    failed("an entry with a line feed", b"-a foo\nbar", entry=b"foo bar"),
    failed("an entry with a CR", b"-r foo\rbar", verb=b"remove", entry=b"foo bar"),
    failed("an entry with a Ctrl-Z", b"-a foo\x1abar", entry=b"foo\x1abar"),
    failed("text after a Ctrl-Z in the list", b"-a foo", b"a\r\n\x1ab\r\n"),
    failed("a read-only list", b"-a foo", mode=0o444),
    failed("a directory in the copy's place", b"-a foo", dirs=[COPY]),
    # What stands around the list.
    case("a stale copy is replaced", b"-a c", files={COPY: b"stale\r\n"}, after=AB + b"c\r\n"),
    case("nothing is written through a link at the copy's path", b"-a c",
         links={COPY: "../../victim.txt"}, files={"victim.txt": b"keep"},
         after=AB + b"c\r\n", builds=NATIVE_LINKS),
    case("the old log goes at the start", b"-a c", files={LOG: b"old\r\n"},
         after=AB + b"c\r\n"),
    failed("a link at the log's path is removed first", b"-a foo", None,
           links={LOG: "victim.txt"}, files={"victim.txt": b"keep"}, builds=NATIVE_LINKS),
    case("a log that cannot be opened is dropped", b"-a foo", None, code=0, dirs=[LOG]),
    case("the exit code stands without a log", b"-a c", dirs=[LOG], after=AB + b"c\r\n"),
    # Only where the build has them.
    case("arguments are joined with one blank", None, argv=["-a", "two", "words"],
         after=AB + b"two words\r\n", builds=["native"]),
    case("permission bits are kept", b"-a c", mode=0o640, after=AB + b"c\r\n",
         builds=["native"]),  # Wine gives new files its own mode
    case("a tab after the program's name", None,
         command_line=b"theaterlist.exe\t-a c", after=AB + b"c\r\n", builds=["windows"]),
    case("a quoted program name with blanks", None,
         command_line=b'"C:\\Program Files\\theaterlist.exe"-a c', after=AB + b"c\r\n",
         builds=["windows"]),
    case("a quoted name: the tail starts after the quote", None,
         command_line=b'"C:\\x\\theaterlist.exe"x -a c', after=AB + b"c\r\n",
         builds=["windows"]),
    case("only the program's name", None, command_line=b"theaterlist.exe   ", code=0,
         log=b"Commandline: \r\n", builds=["windows"]),
]
