#pragma once
// The about box: program name, version and the maker's notice.

#include "framework/dialog.h"

#include <string>
#include <vector>

class AboutProgram : public Dialog {
public:
    static constexpr const char* kNotice = "Copyright (C) 2007-2013 Quillmoran";

    AboutProgram();

    // Lines shown under the notice, at most two (the room catalogue's records in admin mode);
    // none: the box keeps its usual size.
    std::vector<std::string> m_recordLines;

protected:
    BOOL OnInitDialog() override;

private:
    void ShowRecordLines();
};
