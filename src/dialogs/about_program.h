#pragma once
// The about box: program name, version and the maker's notice.

#include "framework/dialog.h"

class AboutProgram : public Dialog {
public:
    static constexpr const char* kNotice = "Copyright (C) 2007-2013 Quillmoran";

    AboutProgram();

protected:
    BOOL OnInitDialog() override;
};
