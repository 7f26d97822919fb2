#include "guide/relations.h"

namespace tentaria::guide {

const std::vector<RelationLink>& RelationLinks() {
  using enum GuideFile;
  static const std::vector<RelationLink> links = {
      // A campsite and its details, and its mark in the own selection.
      {GezNAW, "GNAW:NUMMER", "GNAW:BY_NUMMER", TagFile, "TAG:NUMMER", "TAG:BY_NUMMER"},
      {GezNAW, "GNAW:NUMMER", "GNAW:BY_NUMMER", GezPRIJZ, "GPRI:NUMMER", "GPRI:BY_NUMMER"},
      {GezNAW, "GNAW:NUMMER", "GNAW:BY_NUMMER", GezFAC, "GFAC:NUMMER", "GFAC:BY_NUMMER"},
      {GezNAW, "GNAW:NUMMER", "GNAW:BY_NUMMER", GezINFO, "GINF:NUMMER", "GINF:BY_NUMMER"},
      {GezNAW, "GNAW:NUMMER", "GNAW:BY_NUMMER", GezSEL, "GSEL:NUMMER", "GSEL:BY_NUMMER"},
      // A found campsite reaches every detail.
      {Gezvonde, "GVD:NUMMER", "GVD:BY_NUMMER", GezNAW, "GNAW:NUMMER", "GNAW:BY_NUMMER"},
      {Gezvonde, "GVD:NUMMER", "GVD:BY_NUMMER", GezFAC, "GFAC:NUMMER", "GFAC:BY_NUMMER"},
      {Gezvonde, "GVD:NUMMER", "GVD:BY_NUMMER", GezSEL, "GSEL:NUMMER", "GSEL:BY_NUMMER"},
      {Gezvonde, "GVD:NUMMER", "GVD:BY_NUMMER", GezINFO, "GINF:NUMMER", "GINF:BY_NUMMER"},
      {Gezvonde, "GVD:NUMMER", "GVD:BY_NUMMER", GezPRIJZ, "GPRI:NUMMER", "GPRI:BY_NUMMER"},
      // A campsite's pictures.
      {GezNAW, "GNAW:NUMMER", "GNAW:BY_NUMMER", GEZFOTO, "GFOT:NUMMER", "GFOT:BY_NUMMER"},
  };
  return links;
}

std::vector<Relation> RelationsOf(GuideFile file) {
  std::vector<Relation> relations;
  for (const RelationLink& link : RelationLinks()) {
    if (link.parent == file) {
      relations.push_back({link.child, link.parent_field, link.child_field, link.child_key});
    } else if (link.child == file) {
      relations.push_back({link.parent, link.child_field, link.parent_field, link.parent_key});
    }
  }
  return relations;
}

}  // namespace tentaria::guide
