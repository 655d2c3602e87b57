#pragma once

// The lines the process-wide logger writes while an object of this lives,
// each without its time and with no thread id or source place: "[ERR ] ...".
#include "kesh/logger.h"

#include <boost/make_shared.hpp>

#include <string>
#include <vector>

namespace testsupport {

class LogLines {
public:
    LogLines() : listener_(boost::make_shared<Listener>()), flags_(kesh::getLogger().getFlags())
    {
        kesh::getLogger().setFlags(0);
        kesh::getLogger().setListener(listener_);
    }
    ~LogLines()
    {
        kesh::getLogger().setListener(boost::shared_ptr<kesh::ILogListener>());
        kesh::getLogger().setFlags(flags_);
    }
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;

    std::vector<std::string>& lines() { return listener_->lines; }

private:
    struct Listener : kesh::ILogListener {
        void onLine(const char* line) override { lines.push_back(line); }
        std::vector<std::string> lines;
    };
    boost::shared_ptr<Listener> listener_;
    unsigned flags_;
};

}  // namespace testsupport
