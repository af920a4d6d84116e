#pragma once
// Directed, weighted path graphs. Nodes carry a position, a cost and 32 bits of user
// data (flag bits the search can treat as blocking); edges carry a weight and two values
// stored for the content's own use. Graphs are filled from ".agr" graph files.

#include <cstdint>

namespace AStar {

class IEdge;

class INode {
 public:
  virtual ~INode() = default;
  virtual int GetIndex() const = 0;
  virtual float GetCost() const = 0;
  virtual uint32_t GetUserData() const = 0;
  // x, y, z, w.
  virtual const float* GetPosition() const = 0;
  virtual int GetOutEdgeCount() const = 0;
  // Null when i is out of range.
  virtual IEdge* GetOutEdge(int i) const = 0;
  virtual int GetInEdgeCount() const = 0;
  virtual IEdge* GetInEdge(int i) const = 0;
  virtual void SetCost(float cost) = 0;
  virtual void SetUserData(uint32_t userData) = 0;
  virtual void SetPosition(const float position[4]) = 0;
};

class IEdge {
 public:
  virtual ~IEdge() = default;
  virtual int GetIndex() const = 0;
  virtual INode* GetFrom() const = 0;
  virtual INode* GetTo() const = 0;
  virtual float GetWeight() const = 0;
  virtual float GetValue1() const = 0;
  virtual float GetValue2() const = 0;
  virtual void SetWeight(float weight) = 0;
  virtual void SetValue1(float value) = 0;
  virtual void SetValue2(float value) = 0;
};

class IGraph {
 public:
  virtual ~IGraph() = default;
  virtual bool IsDynamic() const = 0;
  virtual bool IsEmpty() const = 0;
  // Fills the graph from a graph file; a missing or damaged file is reported and leaves
  // the graph empty.
  virtual void Load(const char* fileName) = 0;
  virtual int GetNodeCount() const = 0;
  virtual int GetEdgeCount() const = 0;
  // The table entry (null for an empty slot or an index out of range).
  virtual INode* GetNode(int index) const = 0;
  virtual IEdge* GetEdge(int index) const = 0;
  // Cursor walks, one node cursor and one edge cursor per graph; null at the end.
  virtual INode* FirstNode() = 0;
  virtual INode* LastNode() = 0;
  virtual INode* NextNode() = 0;
  virtual INode* PrevNode() = 0;
  virtual IEdge* FirstEdge() = 0;
  virtual IEdge* LastEdge() = 0;
  virtual IEdge* NextEdge() = 0;
  virtual IEdge* PrevEdge() = 0;
};

// The parts of nodes and edges that both graph kinds share.
class CGraphNodeBase : public INode {
 public:
  int GetIndex() const override { return m_index; }
  float GetCost() const override { return m_cost; }
  uint32_t GetUserData() const override { return m_userData; }
  const float* GetPosition() const override { return m_position; }
  void SetCost(float cost) override { m_cost = cost; }
  void SetUserData(uint32_t userData) override { m_userData = userData; }
  void SetPosition(const float position[4]) override {
    for (int i = 0; i < 4; ++i) m_position[i] = position[i];
  }
  void SetIndex(int index) { m_index = index; }

 private:
  float m_position[4] = {0, 0, 0, 0};
  int m_index = -1;
  uint32_t m_userData = 0;
  float m_cost = 1.0f;
};

class CGraphEdgeBase : public IEdge {
 public:
  int GetIndex() const override { return m_index; }
  INode* GetFrom() const override { return m_from; }
  INode* GetTo() const override { return m_to; }
  float GetWeight() const override { return m_weight; }
  float GetValue1() const override { return m_value1; }
  float GetValue2() const override { return m_value2; }
  void SetWeight(float weight) override { m_weight = weight; }
  void SetValue1(float value) override { m_value1 = value; }
  void SetValue2(float value) override { m_value2 = value; }
  void SetIndex(int index) { m_index = index; }
  void SetEnds(INode* from, INode* to) {
    m_from = from;
    m_to = to;
  }

 private:
  int m_index = -1;
  float m_value1 = 0.0f;
  float m_value2 = 0.0f;
  float m_weight = 1.0f;
  INode* m_from = nullptr;
  INode* m_to = nullptr;
};

}  // namespace AStar
