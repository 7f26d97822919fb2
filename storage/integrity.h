// The integrity check of a committed record file, for tests and the file
// tool.
//
// It reads every page of the tree from disk and checks: the range table
// (dense ranges in ascending class order); each page's home address, sizes
// and level; that its stored form is the one the compression rule gives;
// that only the root is empty; that keys ascend across the whole tree; that
// each index key equals its child's first key; and that every place in
// every range holds exactly one page of the tree.
#ifndef TENTARIA_STORAGE_INTEGRITY_H_
#define TENTARIA_STORAGE_INTEGRITY_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/status.h"
#include "storage/block_file.h"
#include "storage/file_header.h"

namespace tentaria::storage {

// journal_map: pages served from a pending journal (home -> entry offset).
// Returns internal fault 2403 when problems were found; they are appended
// to *problems.
Status CheckFileIntegrity(BlockFile* file, const FileHeader& header,
                          const std::unordered_map<uint64_t, uint64_t>& journal_map,
                          std::vector<std::string>* problems);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_INTEGRITY_H_
