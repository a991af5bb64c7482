// The program's version record, written at build time from versioninfo.txt, in a section of
// its own. The reader finds it through the section headers of the executable file, so nothing
// refers to it by name.
asm(".pushsection .qubrix_version,\"a\"\n"
    ".incbin \"" QUBRIX_VERSION_RECORD "\"\n"
    ".popsection\n");
