#pragma once

// Makes fdatasync() and fsync() fail with EIO while it lives: the stand-in
// for a disk that loses what it was given. Linux only: a test that links
// support/SyncFailure.cpp, whose two functions stand before the C
// library's; Windows syncs through FlushFileBuffers instead.
void setSyncFailing(bool failing);

class SyncFailure
{
public:
    SyncFailure() { setSyncFailing(true); }
    ~SyncFailure() { setSyncFailing(false); }
    static const char *unavailable();

    SyncFailure(const SyncFailure &) = delete;
    SyncFailure &operator=(const SyncFailure &) = delete;
};
