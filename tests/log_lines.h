#pragma once

// The lines the process-wide logger writes while an object of this lives,
// without their time: "[ERR ] ...".
#include "kesh/logger.h"

#include <boost/shared_ptr.hpp>

#include <string>
#include <vector>

namespace testsupport {

class LogLines : public kesh::ILogListener {
public:
    LogLines() : flags_(kesh::getLogger().getFlags())
    {
        kesh::getLogger().setFlags(0);
        kesh::getLogger().setListener(self_);
    }
    ~LogLines() override
    {
        kesh::getLogger().setListener(boost::shared_ptr<kesh::ILogListener>());
        kesh::getLogger().setFlags(flags_);
    }
    void onLine(const char* line) override { lines.push_back(line); }
    std::vector<std::string> lines;

private:
    // The logger holds its listener weakly: this object, borrowed.
    const boost::shared_ptr<kesh::ILogListener> self_{this, [](kesh::ILogListener*) {}};
    const unsigned flags_;
};

}  // namespace testsupport
