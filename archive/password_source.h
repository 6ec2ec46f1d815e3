#pragma once
// The password of one call of the library, for 7-Zip's ICryptoGetTextPassword: the password
// argument when it is not empty, otherwise what the caller's password callback hands out.
// The callback is asked at most once; its answer (or its refusal) is kept for the rest of the
// call, since 7-Zip may ask again for every encrypted block.

#include <mutex>
#include <string>

#include "include/qor_archive.h"
#include "seven_zip.h"

class TPasswordSource {
  public:
    TPasswordSource(const char* password, TArchivePasswordCallback callback);

    // Answers 7-Zip: the password as a new BSTR, or E_ABORT when there is none.
    HRESULT Get(BSTR* password);
    // Whether 7-Zip has asked for a password during this call.
    bool Asked() const;

  private:
    mutable std::mutex lock_;
    std::wstring password_;
    bool known_ = false;
    bool asked_ = false;
    TArchivePasswordCallback callback_;
};
