// The reflection-file hierarchy in memory: making and freeing records,
// adding crystals, datasets and columns, finding them by name or by path
// (/crystal/dataset/label, '*' standing for one whole component), moving
// columns between datasets, listing and counting.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "reflections/mtz_records.h"

// A record with nxtal placeholder crystals, the i-th with nset[i] datasets.
std::unique_ptr<MtzFile> MtzMalloc(int nxtal, const int nset[]);
// Closes the record's files and frees it with everything below it; 1.
int MtzFree(std::unique_ptr<MtzFile> mtz);

MtzXtal* MtzAddXtal(MtzFile* mtz, const char* crystal_name, const char* project_name,
                    const float cell[6]);
MtzSet* MtzAddDataset(MtzFile* mtz, MtzXtal* xtal, const char* dataset_name, float wavelength);
// Null (with a message) when the dataset already holds 10000 columns.
MtzCol* MtzAddColumn(MtzFile* mtz, MtzSet* set, const char* label, const char* type);

std::unique_ptr<MtzCol> MtzMallocCol(const MtzFile* mtz, int n);
int MtzFreeCol(std::unique_ptr<MtzCol> col);
std::unique_ptr<MtzBatch> MtzMallocBatch();
// Frees the batch and every batch after it; 1.
int MtzFreeBatch(std::unique_ptr<MtzBatch> batch);
// n zeroed history lines of 80 characters.
std::vector<char> MtzCallocHist(int n);
int MtzFreeHist(std::vector<char>& history);

std::string MtzXtalPath(const MtzXtal* xtal);
std::string MtzSetPath(const MtzFile* mtz, const MtzSet* set);
std::string MtzColPath(const MtzFile* mtz, const MtzCol* col);
// Completes a partial path to n components (1 crystal, 2 dataset, 3 column).
int MtzRJustPath(std::string& out, const char* path, int n);
int MtzPathMatch(const char* a, const char* b);
MtzXtal* MtzXtalLookup(const MtzFile* mtz, const char* name);
MtzSet* MtzSetLookup(const MtzFile* mtz, const char* name);
MtzCol* MtzColLookup(const MtzFile* mtz, const char* label);
MtzSet* MtzColSet(const MtzFile* mtz, const MtzCol* col);
MtzXtal* MtzSetXtal(const MtzFile* mtz, const MtzSet* set);
// Crystal, dataset and in-dataset positions of the H, K, L columns; 1.
int MtzFindInd(const MtzFile* mtz, int& xtal_index, int& set_index, int index[3]);

int MtzToggleColumn(MtzCol* col);
int MtzAssignColumn(MtzFile* mtz, MtzCol* col, const char* crystal_name, const char* dataset_name);
int MtzAssignHKLtoBase(MtzFile* mtz);

// Label, type and dataset id of every column into 31- and 3-character slots.
int MtzListColumn(const MtzFile* mtz, char labels[][31], char types[][3], int set_ids[]);
// The same for the columns of the input file, at their input positions.
int MtzListInputColumn(const MtzFile* mtz, char labels[][31], char types[][3], int set_ids[]);
void MtzDebugHierarchy(const MtzFile* mtz);

// The child arrays themselves; the i-th child is 0-based.
int MtzNxtal(const MtzFile* mtz);
const std::vector<std::unique_ptr<MtzXtal>>& MtzXtals(const MtzFile* mtz);
MtzXtal* MtzIxtal(const MtzFile* mtz, int i);
int MtzNsetsInXtal(const MtzXtal* xtal);
const std::vector<std::unique_ptr<MtzSet>>& MtzSetsInXtal(const MtzXtal* xtal);
MtzSet* MtzIsetInXtal(const MtzXtal* xtal, int i);
int MtzNcolsInSet(const MtzSet* set);
const std::vector<std::unique_ptr<MtzCol>>& MtzColsInSet(const MtzSet* set);
MtzCol* MtzIcolInSet(const MtzSet* set, int i);
const char* MtzColType(const MtzCol* col);
int MtzNset(const MtzFile* mtz);
int MtzNcol(const MtzFile* mtz);
int MtzNumActiveColsInSet(const MtzSet* set);
int MtzNumActiveCol(const MtzFile* mtz);
int MtzNumSourceColsInSet(const MtzSet* set);
int MtzNumSourceCol(const MtzFile* mtz);
int MtzNbatchesInSet(const MtzFile* mtz, const MtzSet* set);
int MtzNumActiveSetsInXtal(const MtzFile* mtz, const MtzXtal* xtal);
int MtzNumActiveSet(const MtzFile* mtz);
int MtzNumActiveXtal(const MtzFile* mtz);
int MtzNref(const MtzFile* mtz);
int MtzNbat(const MtzFile* mtz);
int MtzSpacegroupNumber(const MtzFile* mtz);

namespace reflections {

// The missing value of the record: the NaN pattern or the real in the flag.
float missing_value(const MtzFile* mtz);
// Copy of text cut to at most n characters (null gives an empty text).
std::string cut(const char* text, std::size_t n);
// Copy of text without trailing blanks.
std::string rtrimmed(const std::string& text);

}  // namespace reflections
