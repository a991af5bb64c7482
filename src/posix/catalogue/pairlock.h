#pragma once

#include "core/catalogue/datafiles.h"

#include <string>

namespace qubrix::posixdata {

// Saves and recoveries of every program on one catalogue take turns. Each takes an advisory
// lock on the catalogue file itself, which anyone who may read or write it can open whatever
// the folder allows, and, where the folder can be opened, on the folder as well, as earlier
// versions did. A save of a catalogue that does not exist yet creates it empty to lock it (an
// empty catalogue is a new one). A save replaces the catalogue, so the lock is taken on the
// file the name holds once locked; one taken on a file a save has just replaced is taken anew.
class PairLock {
public:
    enum class Purpose { Read, Save };
    PairLock(const DataFilePair& files, Purpose purpose);
    ~PairLock();
    PairLock(const PairLock&) = delete;
    PairLock& operator=(const PairLock&) = delete;

    // Where nothing could be locked, another program may be saving at this moment.
    bool held() const { return m_folderFd >= 0 || m_fileFd >= 0; }
    // False once the catalogue the lock was taken on has been replaced, or a catalogue has
    // appeared where there was none: the lock is then taken again.
    bool current() const;
    void renew();
    // After a save that failed: the empty catalogue made only to be locked goes again.
    void removeCreated();

private:
    void lockFile();

    std::string m_path;
    Purpose m_purpose;
    int m_folderFd = -1;
    int m_fileFd = -1;
    bool m_created = false;
};

} // namespace qubrix::posixdata
