"""The versions lists the local maker's web server can serve.

Each list is a template of records, one a line, CR LF line ends unless a
variant says otherwise. "{size}" stands for the installer's size in whole
kilobytes, so that the list agrees with the file the server serves;
"{size_up}" is one kilobyte more, as a list that rounds the size up has it.
Another product's record comes first, as on the real server.
"""

OTHER = "Koersgrafiek,koersgrafiek204.exe,a,812,,Nieuwe grafieken,New charts\r\n"
TAIL = "Beursagenda,beursagenda310.exe,b,455,,Agenda 2026,Calendar 2026\r\n"


def record(downloadName, letter, size="{size}", rest=",,Verbeteringen,Improvements"):
    return f"Kestrom,{downloadName},{letter},{size}{rest}"


LISTS = {
    # The running program is "versie 1.00c".
    "newer": OTHER + record("kestrom101.exe", "c") + "\r\n" + TAIL,
    "newer-rounded-up": OTHER + record("kestrom101.exe", "c", size="{size_up}") + "\r\n" + TAIL,
    "newer-letter": OTHER + record("kestrom100.exe", "d") + "\r\n" + TAIL,
    # Far newer than any release yet: what a replayed old installer is
    # announced as.
    "replay": OTHER + record("kestrom199.exe", "z") + "\r\n" + TAIL,
    "same": OTHER + record("kestrom100.exe", "c") + "\r\n" + TAIL,
    "older": OTHER + record("kestrom100.exe", "b") + "\r\n" + TAIL,
    # A longer name that begins with the product's, placed earlier.
    "prefix": "KestromPro,kestrompro200.exe,a,{size},,Pro,Pro\r\n" + OTHER
              + record("kestrom100.exe", "c") + "\r\n",
    "missing": OTHER + TAIL,
    "short": "Kestrom,kestrom101.exe,c,1\r\n",
    "default-htm": "Default.htm",
    "html": "<html><head><title>Welkom</title></head>\r\n<body><p>Deze pagina is verhuisd."
            "</p></body></html>\r\n",
    "no-cr": OTHER + record("kestrom101.exe", "c"),
    "lf-only": OTHER.replace("\r\n", "\n") + record("kestrom101.exe", "c") + "\n",
    "empty-letter": OTHER + record("kestrom101.exe", "") + "\r\n" + TAIL,
    "few-fields": OTHER + record("kestrom101.exe", "c", rest="") + "\r\n" + TAIL,
    "size-nan": OTHER + record("kestrom101.exe", "c", size="groot") + "\r\n" + TAIL,
    "bad-name": OTHER + record("..\\kestrom101.exe", "c") + "\r\n" + TAIL,
    "long-lines": "#" + "=" * 70000 + "\r\n" + OTHER
                  + record("kestrom101.exe", "c", rest=",," + "x" * 5000 + ",New") + "\r\n" + TAIL,
    "empty": "",
}


def render(kind, sizeKB):
    """The list's bytes, with the installer's size filled in."""
    if kind not in LISTS:
        raise ValueError(f"unknown list {kind!r}; known: {', '.join(LISTS)}")
    return LISTS[kind].replace("{size_up}", str(sizeKB + 1)).replace("{size}", str(sizeKB)).encode("latin-1")


def download_names(listBytes):
    """Field 1 of every record: the installer names the server answers to."""
    names = set()
    for line in listBytes.replace(b"\r", b"\n").split(b"\n"):
        fields = line.split(b",")
        if len(fields) > 1 and fields[1] and b"/" not in fields[1] and b"\\" not in fields[1]:
            names.add("/" + fields[1].decode("latin-1"))
    return names
