#include "engine/LexomatList.h"

// Placeholder bodies; the card rules land with the card-list work.
TLexomatList::TLexomatList() = default;
void TLexomatList::AddCard(int32_t, int32_t) {}
int32_t TLexomatList::Count() const { return 0; }
int32_t TLexomatList::LevelAt(int32_t) const { return 0; }
int32_t TLexomatList::IdAt(int32_t) const { return 0; }
void TLexomatList::SortByLevel() {}
int32_t TLexomatList::PickQuestionIndex() { return 0; }
int32_t TLexomatList::PickFirstQuestionIndex() { return 0; }
TLexomatList::OtherIds TLexomatList::PickOtherIds(int32_t) { return {0, 0, 0}; }
void TLexomatList::RecordRight() {}
void TLexomatList::RecordWrong() {}
int32_t TLexomatList::ApplyAnswer(int32_t index) { return index; }
void TLexomatList::ResetLevels() {}
void TLexomatList::Clear() {}
std::string TLexomatList::BoxFilter(int32_t) const { return "ID=-1"; }
bool TLexomatList::AllKnown() const { return false; }
void TLexomatList::Seed(uint64_t seed) { rng.seed(seed); }
int32_t TLexomatList::RandomInRange(int32_t lo, int32_t) { return lo; }
void TLexomatList::CountIntoBox(int32_t, int32_t) {}
void TLexomatList::MoveBoxCount(int32_t) {}
