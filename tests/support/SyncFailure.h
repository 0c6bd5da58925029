#pragma once

// Makes fdatasync() and fsync() fail with EIO while it lives: the stand-in
// for a disk that loses what it was given. Only in a test that links
// support/SyncFailure.cpp, whose two functions stand before the C
// library's.
void setSyncFailing(bool failing);

class SyncFailure
{
public:
    SyncFailure() { setSyncFailing(true); }
    ~SyncFailure() { setSyncFailing(false); }

    SyncFailure(const SyncFailure &) = delete;
    SyncFailure &operator=(const SyncFailure &) = delete;
};
