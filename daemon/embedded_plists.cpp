// The information list and the launchd list, embedded in the executable's own sections so
// that the blessing step can read them from the file (platform/embedded.h). The sections are
// allocated ("a") so that strip keeps them; nothing in the program refers to them.
asm(".pushsection __info_plist,\"a\",@progbits\n"
    ".incbin \"" VENDREL_INFO_PLIST_FILE
    "\"\n"
    ".popsection\n"
    ".pushsection __launchd_plist,\"a\",@progbits\n"
    ".incbin \"" VENDREL_LAUNCHD_PLIST_FILE
    "\"\n"
    ".popsection\n");
