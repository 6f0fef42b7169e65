// The game as the network task sees it: the handlers of the server's replies, the game kind
// that chooses among them, and the bet unit of the bet request. The client's game class
// implements it; the frame hands the game to the task with CNetTask::SetGame.
#pragma once

class CNetGame {
 public:
  virtual ~CNetGame() = default;

  // fields: the reply's fields 1, 2, 3 ... (fields the reply lacks read as "").
  virtual void OnBonusResult(char** fields) = 0;  // NET_BONUS_RESULT
  virtual void OnRoundResult(char** fields) = 0;  // NET_ROUND_RESULT
  virtual void OnMoneyNotify(char** fields) = 0;  // NET_MONEY
  virtual void OnEnterReply(char** fields) = 0;   // NET_ENTER_REPLY, accepted
  virtual void OnWeekNotify(char** fields) = 0;   // NET_WEEK
  virtual void OnBetReply(int amount) = 0;        // NET_BET_REPLY accepted, kind 0
  virtual int OnCardBetReply(int amount) = 0;     // NET_BET_REPLY accepted, kind 1
  // NET_BET_REPLY refused (field 2 not 1): the game takes back a pending bet.
  virtual void OnBetRefused() {}
  virtual void OnCardResult(char** fields) = 0;     // NET_CARD_RESULT, kind 1
  virtual void OnMahjongBetReply(int amount) = 0;   // NET_BET_REPLY accepted, kind 2
  virtual void OnMahjongResult(char** fields) = 0;  // NET_CARD_RESULT, kind 2
  // The toolong box and the exit, on a lost connection.
  virtual void ShowTooLongAndQuit() = 0;

  virtual int GetGameType() const = 0;
  virtual int GetBetUnit() const = 0;
};
