#pragma once

// Root of every library interface and of the editor's pen interface.
// Objects are handed out as boost::shared_ptr to an interface that derives
// from it and die with their last handle.
class IBase {
public:
    virtual ~IBase() {}
};
