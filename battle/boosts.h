// The timed boosts of protein (attack + 5) and buckler (defense + 5): starting
// one in a free slot with its marker, counting them down around the enemies'
// turn with their bars, and ending them with their messages.
#pragma once

constexpr int kBoostTopRow = 16;  // marker row i is console row 16 + i

// True when a boost of that kind could start now: a slot of the kind and a
// marker row are free. The item command refuses a boost otherwise.
bool AttackBoostRoom();
bool DefenseBoostRoom();

// Start a boost in the first free slot of the kind: the statistic + 5, 11 turns,
// "SA" or "SD" bright on the lowest free marker row. The caller has already
// counted it in activeBoostCount. Without a free slot or row nothing happens.
void StartAttackBoost();
void StartDefenseBoost();

// End the first slot of the kind whose turns have run out (0): the statistic
// - 5, the slot and its marker row freed, the marker blanked.
void ExpireAttackBoost();
void ExpireDefenseBoost();

// One tick of the boosts of one kind, slot 2 down to 0: each in force loses a
// turn and redraws its bar; one that reaches 0 ends with its message.
void TickAttackBoosts();
void TickDefenseBoosts();
// Attack boosts, then defense boosts.
void TickBoosts();
