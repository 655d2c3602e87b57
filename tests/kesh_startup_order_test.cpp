// The library's static objects are built before any of the program's own:
// a program object made before main (as the programs' settings paths and
// application objects are) finds the start time, the property registry and
// the registry of library threads ready.
#include "kesh/property.h"
#include "kesh/string.h"
#include "kesh/thread.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <atomic>

namespace {

class Quick : public kesh::sys::IRunnable {
public:
    void run() override { ran = true; }
    void stop() override {}
    std::atomic<bool> ran{false};
};

// Built with the default priority, in this program's own file.
struct ProgramObject {
    ProgramObject()
    {
        startTime = kesh::sys::getProperty("app.uptime", "");
        const boost::shared_ptr<Quick> body = boost::make_shared<Quick>();
        const boost::shared_ptr<kesh::sys::IThread> thread = kesh::sys::createThread(body, 0, 0);
        threadRan = thread && thread->join() && body->ran;
    }
    kesh::String startTime;
    bool threadRan = false;
} programObject;

}  // namespace

TEST(StartupOrder, AProgramObjectBuiltBeforeMainFindsTheLibraryReady)
{
    EXPECT_FALSE(programObject.startTime.isEmpty());
    EXPECT_STREQ(kesh::sys::getProperty("app.uptime", "").c_str(), programObject.startTime.c_str());
    EXPECT_TRUE(programObject.threadRan);
}
