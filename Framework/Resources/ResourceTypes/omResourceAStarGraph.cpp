#include "Framework/Resources/ResourceTypes/omResourceAStarGraph.h"

#include "Common/AStar/CDynamicGraph.h"
#include "Common/AStar/CStaticGraph.h"
#include "Framework/Utils/omXmlRoutines.h"

namespace Ombrel {

CResourceAStarGraph::CResourceAStarGraph(const SDeclaration& declaration)
    : CObjectResource(declaration.path), m_static(AttributeIs(declaration.element, "Type", "Static")) {
  if (AttributeIs(declaration.element, "Source", "None")) m_source = kSourceNone;
  if (AttributeIs(declaration.element, "Source", "Descriptor")) m_source = kSourceDescriptor;
}

AStar::IGraph* CResourceAStarGraph::Build() {
  AStar::IGraph* graph = m_static ? static_cast<AStar::IGraph*>(new AStar::CStaticGraph)
                                  : static_cast<AStar::IGraph*>(new AStar::CDynamicGraph);
  if (m_source == kSourceFile) graph->Load(m_path.GetText());
  return graph;
}

}  // namespace Ombrel
