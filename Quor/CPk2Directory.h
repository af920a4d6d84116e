#pragma once
// The directory file of a PK2 archive, held in memory and read in place: its header, its
// extension list and its name tree. Every step is checked against the buffer; what is wrong
// comes back as the text of a report (naming the directory file) for the caller to report.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Quor/CVFS.h"

class CPk2Directory {
 public:
  // Reads the whole file and checks its header.
  bool Read(const std::string& path, std::string* error);
  void Clear();
  bool IsRead() const { return m_read; }
  const PkDirectory& GetHeader() const { return m_header; }
  const std::string& GetPath() const { return m_path; }

  // Every stored file in directory order (visit may be empty), each record checked against
  // the length of the volume it names (the volumes' lengths in volume order).
  bool Walk(const std::vector<uint64_t>& volumeLengths, const std::function<void(const SVfsEntry&)>& visit,
            std::string* error) const;
  // Where the bytes of a stored file lie (global positions). False when the name is not
  // stored, and with *error set when the way to it is damaged.
  bool Find(const char* name, uint64_t* start, uint64_t* end, std::string* error) const;

 private:
  std::string Corrupt(const std::string& detail) const;

  std::string m_path;
  std::vector<uint8_t> m_buffer;
  PkDirectory m_header;
  bool m_read = false;  // the header is whole
};
