// The saver's version, kept here only: the version resource, the package's file names and the
// installer's version all come from these three numbers. A build may define all three itself
// (the installer test builds a later version of the saver that way).
#ifndef QUORVEL_VERSION_MAJOR
#define QUORVEL_VERSION_MAJOR 1
#define QUORVEL_VERSION_MINOR 0
#define QUORVEL_VERSION_PATCH 0
#endif
