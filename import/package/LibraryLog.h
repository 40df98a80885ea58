#pragma once

namespace ledgerlift {

// While it lives, what GLib, libgsf and libxml2 would print on standard error
// about the file being read (logged, or printed by the library itself) goes
// to our own handler instead: nothing by
// default, since the reader's own sentence says what is wrong and where, and
// every message, one a line, when the environment variable LEDGERLIFT_VERBOSE
// is set to anything but 0. The handlers in place before are put back at the
// end, so scopes nest.
class LibraryLogScope {
  public:
    LibraryLogScope();
    ~LibraryLogScope();
    LibraryLogScope(const LibraryLogScope&) = delete;
    LibraryLogScope& operator=(const LibraryLogScope&) = delete;

    static bool Verbose();

  private:
    void* glibHandler_;
    void* xmlGenericHandler_;
    void* xmlGenericContext_;
    void* xmlStructuredHandler_;
    void* xmlStructuredContext_;
    void* printHandler_;
    void* printerrHandler_;
};

}  // namespace ledgerlift
