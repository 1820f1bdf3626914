#include "StderrCapture.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace svtest {

StderrCapture::StderrCapture()
{
    std::fflush(stderr);
    char name[] = "/tmp/svtest-stderr-XXXXXX";
    mFile = mkstemp(name);
    if (mFile < 0) {
        ADD_FAILURE() << "cannot create a file for standard error";
        return;
    }
    unlink(name);
    mSaved = dup(STDERR_FILENO);
    dup2(mFile, STDERR_FILENO);
}

StderrCapture::~StderrCapture()
{
    std::fflush(stderr);
    if (mSaved >= 0) {
        dup2(mSaved, STDERR_FILENO);
        close(mSaved);
    }
    if (mFile >= 0) {
        close(mFile);
    }
}

std::string StderrCapture::Text() const
{
    std::fflush(stderr);
    std::string text;
    if (mFile < 0) {
        return text;
    }
    char chunk[4096];
    for (off_t offset = 0;;) {
        const ssize_t read = pread(mFile, chunk, sizeof chunk, offset);
        if (read <= 0) {
            break;
        }
        text.append(chunk, static_cast<size_t>(read));
        offset += read;
    }
    return text;
}

} // namespace svtest
