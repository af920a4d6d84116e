// mosaic: draws the paint puzzle's picture from the table of which pieces touch, so the picture
// and the puzzle's colouring rule cannot disagree.
//
//   mosaic LAYOUT_TEMPLATE BACKGROUND_TEMPLATE OUT_DIR
//
// The table's graph is embedded in the plane (made biconnected first, so its faces are simple
// cycles); every face of more than three sides gets a knot of leading joined to its corners, and
// the face chosen as the outside a ring of knots held on the window's oval rim. That
// triangulation is laid out with every other vertex at the average of its neighbours (free of
// crossings), then spread. Each piece is its share of the triangles round its vertex, cut from
// the points dividing its edges to a point amid each triangle; a knot's share is small, so the
// knots are the leading's joints. Between the pieces runs the leading: a hairline where the
// table pairs two pieces, so they touch, and a broad band elsewhere, so they do not.
//
// Written into OUT_DIR: Game04.txt, the layout description (the template's statements with the
// background and the sixty pieces after its "layout" line, its picture folders made relative
// to OUT_DIR); Background.art (the template with the window's leading and bare glass drawn
// over it); PieceN.art for N = 1..60 (a white piece on a power-of-two canvas centred on its
// vertex, so the middle of its layout box lies on the piece).

#include "Src/MiniGames/Vey_MiniGame4Neighbours.h"

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/boyer_myrvold_planar_test.hpp>
#include <boost/graph/make_biconnected_planar.hpp>
#include <boost/graph/planar_face_traversal.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kPieces = Vey::kMosaicPieceCount;
constexpr double kPi = 3.14159265358979323846;

// The window in pixels of the 1280 x 720 screen: its centre and its rim's radii.
constexpr double kCentreX = 640, kCentreY = 312;
constexpr double kRimX = 352, kRimY = 208;
// Triangles thinner than this are not made thinner by the layout's spreading.
constexpr double kComfortable = 20;
// Half the leading's width: between pieces the table pairs, and between others or a knot.
constexpr double kTouchingInset = 0.75;
constexpr double kApartInset = 3.0;
// How far towards a knot of leading the pieces reach, against each other.
constexpr double kKnotShare = 0.08;

struct SFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct SPoint {
  double x = 0, y = 0;
};
SPoint operator+(SPoint a, SPoint b) { return {a.x + b.x, a.y + b.y}; }
SPoint operator-(SPoint a, SPoint b) { return {a.x - b.x, a.y - b.y}; }
SPoint operator*(SPoint a, double s) { return {a.x * s, a.y * s}; }
double Cross(SPoint a, SPoint b) { return a.x * b.y - a.y * b.x; }

// ---------------------------------------------------------------------------------------------
// The triangulation of the table's graph.

using Graph = boost::adjacency_list<boost::vecS, boost::vecS, boost::undirectedS,
                                    boost::property<boost::vertex_index_t, int>,
                                    boost::property<boost::edge_index_t, int>>;
using Edge = boost::graph_traits<Graph>::edge_descriptor;
using Embedding = std::vector<std::vector<Edge>>;

Embedding Embed(Graph& graph) {
  int index = 0;
  for (auto [edge, end] = boost::edges(graph); edge != end; ++edge) boost::put(boost::edge_index, graph, *edge, index++);
  Embedding embedding(boost::num_vertices(graph));
  if (!boost::boyer_myrvold_planarity_test(boost::boyer_myrvold_params::graph = graph,
                                           boost::boyer_myrvold_params::embedding = &embedding[0]))
    throw SFailure("the pieces' table cannot be drawn flat: two of its pairs would have to cross");
  return embedding;
}

// The vertices met walking each face of the embedding.
struct SFaceWalk : boost::planar_face_traversal_visitor {
  std::vector<std::vector<int>> faces;
  void begin_face() { faces.emplace_back(); }
  void next_vertex(int vertex) { faces.back().push_back(vertex); }
};

struct STriangulation {
  // Every triangulation edge, the table's among them; vertices from kPieces on are the knots of
  // leading put into the faces the table leaves open.
  std::vector<std::set<int>> adjacent;
  std::vector<int> outerCycle;  // the ring of knots round the outside, in order
  int VertexCount() const { return int(adjacent.size()); }
};

// The table's graph made biconnected, so every face of its drawing is a simple cycle.
struct SPlaneGraph {
  std::vector<std::set<int>> adjacent;
  std::vector<std::vector<int>> faces;
};

SPlaneGraph EmbedTable() {
  Graph graph(kPieces);
  for (int piece = 0; piece < kPieces; ++piece)
    for (int32_t neighbour : Vey::kMosaicNeighbours[piece])
      if (neighbour - 1 > piece) boost::add_edge(piece, neighbour - 1, graph);
  Embedding embedding = Embed(graph);
  boost::make_biconnected_planar(graph, &embedding[0]);
  embedding = Embed(graph);

  SPlaneGraph plane;
  plane.adjacent.resize(kPieces);
  for (auto [edge, end] = boost::edges(graph); edge != end; ++edge) {
    const int a = int(boost::source(*edge, graph)), b = int(boost::target(*edge, graph));
    if (a == b || plane.adjacent[size_t(a)].count(b)) throw SFailure("the pieces' graph came out with a doubled edge");
    plane.adjacent[size_t(a)].insert(b);
    plane.adjacent[size_t(b)].insert(a);
  }
  SFaceWalk walk;
  boost::planar_face_traversal(graph, &embedding[0], walk);
  plane.faces = walk.faces;
  return plane;
}

// The plane graph triangulated: every face of more than three sides cut into triangles by a
// knot joined to all its corners, the one chosen as the outside ringed by knots.
STriangulation Triangulate(const SPlaneGraph& plane, size_t outside) {
  STriangulation result;
  result.adjacent = plane.adjacent;
  auto addKnot = [&result] {
    result.adjacent.emplace_back();
    return result.VertexCount() - 1;
  };
  auto join = [&result](int a, int b) {
    result.adjacent[size_t(a)].insert(b);
    result.adjacent[size_t(b)].insert(a);
  };
  for (size_t face = 0; face < plane.faces.size(); ++face) {
    if (face == outside || plane.faces[face].size() <= 3) continue;
    const int knot = addKnot();
    for (int corner : plane.faces[face]) join(knot, corner);
  }
  // Round the outside face a ring of knots, each joined to the next and to two corners of the
  // face, so every piece lies inside and the ring alone is held to the window's rim.
  const std::vector<int>& outline = plane.faces[outside];
  for (size_t i = 0; i < outline.size(); ++i) result.outerCycle.push_back(addKnot());
  for (size_t i = 0; i < outline.size(); ++i) {
    const int knot = result.outerCycle[i], next = result.outerCycle[(i + 1) % outline.size()];
    join(knot, next);
    join(knot, outline[i]);
    join(next, outline[i]);
  }
  return result;
}

bool TablePairs(int a, int b) {
  if (a >= kPieces || b >= kPieces) return false;
  const auto& list = Vey::kMosaicNeighbours[a];
  return std::find(list.begin(), list.end(), b + 1) != list.end();
}

// ---------------------------------------------------------------------------------------------
// The drawing.

SPoint OnOval(double angle, double scale) {
  return {kCentreX + kRimX * scale * std::cos(angle), kCentreY + kRimY * scale * std::sin(angle)};
}

// Twice the signed area of the triangle.
double Turn(SPoint a, SPoint b, SPoint c) { return Cross(b - a, c - a); }

// How thin a triangle is: its height over its longest side, signed by its turning.
double Thickness(SPoint a, SPoint b, SPoint c) {
  const double longest = std::max({std::hypot(b.x - a.x, b.y - a.y), std::hypot(c.x - b.x, c.y - b.y),
                                   std::hypot(a.x - c.x, a.y - c.y), 1e-9});
  return Turn(a, b, c) / longest;
}

// The triangles of the layout around each vertex, each as its two other corners in the order
// that turns the way the first layout's triangles turn.
std::vector<std::vector<std::pair<int, int>>> TrianglesAround(const STriangulation& mesh,
                                                                const std::vector<SPoint>& points) {
  std::vector<std::vector<std::pair<int, int>>> around(size_t(mesh.VertexCount()));
  for (int v = 0; v < mesh.VertexCount(); ++v)
    for (int a : mesh.adjacent[size_t(v)])
      for (int b : mesh.adjacent[size_t(v)])
        if (a < b && mesh.adjacent[size_t(a)].count(b)) {
          const bool turnsLeft = Turn(points[size_t(v)], points[size_t(a)], points[size_t(b)]) > 0;
          around[size_t(v)].push_back(turnsLeft ? std::make_pair(a, b) : std::make_pair(b, a));
        }
  return around;
}

// First a drawing free of crossings: the ring of knots on the window's rim, every other vertex
// at the average of its neighbours. That crowds the pieces where few edges hold them, so then
// every vertex but the ring's is pushed away from all others and pulled towards its
// neighbours; a step is taken only while the thinnest triangle around the vertex, once thinner
// than a comfortable piece, gets no thinner (so the drawing's thinnest triangle never does,
// and no triangle turns over).
std::vector<SPoint> PlaceVertices(const STriangulation& mesh, bool spread) {
  const int count = mesh.VertexCount();
  std::vector<SPoint> points(size_t(count), SPoint{kCentreX, kCentreY});
  std::vector<bool> onRim(size_t(count), false);
  const size_t ring = mesh.outerCycle.size();
  for (size_t i = 0; i < ring; ++i) {
    points[size_t(mesh.outerCycle[i])] = OnOval(2 * kPi * double(i) / double(ring), 1.0);
    onRim[size_t(mesh.outerCycle[i])] = true;
  }
  for (int round = 0; round < 3000; ++round) {
    for (int v = 0; v < count; ++v) {
      if (onRim[size_t(v)]) continue;
      SPoint sum;
      for (int n : mesh.adjacent[size_t(v)]) sum = sum + points[size_t(n)];
      points[size_t(v)] = sum * (1.0 / double(mesh.adjacent[size_t(v)].size()));
    }
  }
  if (!spread) return points;

  const auto triangles = TrianglesAround(mesh, points);
  auto thinnestAround = [&](int v, SPoint at) {
    double thinnest = 1e9;
    for (const auto& [a, b] : triangles[size_t(v)])
      thinnest = std::min(thinnest, Thickness(at, points[size_t(a)], points[size_t(b)]));
    return thinnest;
  };
  const double spacing = std::sqrt(kPi * kRimX * kRimY / count);
  constexpr int kRounds = 4000;
  for (int round = 0; round < kRounds; ++round) {
    const double step = spacing * 0.05 * (1.0 - double(round) / kRounds);
    for (int v = 0; v < count; ++v) {
      if (onRim[size_t(v)]) continue;
      SPoint force;
      for (int u = 0; u < count; ++u) {
        if (u == v) continue;
        const SPoint away = points[size_t(v)] - points[size_t(u)];
        const double distance = std::max(std::hypot(away.x, away.y), 1e-3);
        force = force + away * (spacing * spacing / (distance * distance));
        if (mesh.adjacent[size_t(v)].count(u)) force = force - away * (distance / spacing);
      }
      const double size = std::hypot(force.x, force.y);
      if (size < 1e-9) continue;
      const SPoint moved = points[size_t(v)] + force * (std::min(step, size) / size);
      if (thinnestAround(v, moved) >= std::min(kComfortable, thinnestAround(v, points[size_t(v)])))
        points[size_t(v)] = moved;
    }
  }
  // Then each vertex moved, in shrinking steps, to where the thinnest triangle round it is
  // thickest, which opens up what the spreading left crowded.
  for (double reach = spacing * 0.25; reach > 0.05; reach *= 0.9) {
    for (int v = 0; v < count; ++v) {
      if (onRim[size_t(v)]) continue;
      SPoint best = points[size_t(v)];
      double bestThinnest = thinnestAround(v, best);
      for (int direction = 0; direction < 16; ++direction) {
        const double angle = 2 * kPi * direction / 16;
        const SPoint tried = points[size_t(v)] + SPoint{std::cos(angle), std::sin(angle)} * reach;
        const double thinnest = thinnestAround(v, tried);
        if (thinnest > bestThinnest) {
          best = tried;
          bestThinnest = thinnest;
        }
      }
      points[size_t(v)] = best;
    }
  }
  return points;
}

// The thinnest triangle of a drawing.
double ThinnestTriangle(const STriangulation& mesh, const std::vector<SPoint>& points) {
  double thinnest = 1e9;
  const auto triangles = TrianglesAround(mesh, points);
  for (int v = 0; v < mesh.VertexCount(); ++v)
    for (const auto& [a, b] : triangles[size_t(v)])
      thinnest = std::min(thinnest, Thickness(points[size_t(v)], points[size_t(a)], points[size_t(b)]));
  return thinnest;
}

// The triangulation whose first drawing is least crowded, trying each face as the outside.
STriangulation BestTriangulation() {
  const SPlaneGraph plane = EmbedTable();
  size_t best = 0;
  double bestThinnest = -1;
  for (size_t face = 0; face < plane.faces.size(); ++face) {
    const STriangulation mesh = Triangulate(plane, face);
    const double thinnest = ThinnestTriangle(mesh, PlaceVertices(mesh, false));
    if (thinnest > bestThinnest) {
      bestThinnest = thinnest;
      best = face;
    }
  }
  return Triangulate(plane, best);
}

// One sector of a piece: a convex polygon starting at the piece's vertex, listed with the
// inside on the left (y down: clockwise on screen), with the leading's half-width along each
// edge (the two edges at the vertex lie inside the piece and take none).
struct SSector {
  std::vector<SPoint> corners;
  std::vector<double> insets;  // insets[i] for the edge corners[i] -> corners[i + 1]
};

// The sector without the strip of leading along each edge.
std::vector<SPoint> CutLeading(const SSector& sector) {
  std::vector<SPoint> polygon = sector.corners;
  const size_t count = sector.corners.size();
  for (size_t i = 0; i < count; ++i) {
    if (sector.insets[i] <= 0) continue;
    const SPoint a = sector.corners[i], b = sector.corners[(i + 1) % count];
    const SPoint along = b - a;
    const double length = std::hypot(along.x, along.y);
    auto depth = [&](SPoint p) { return Cross(along, p - a) / length - sector.insets[i]; };
    std::vector<SPoint> kept;
    for (size_t j = 0; j < polygon.size(); ++j) {
      const SPoint p = polygon[j], q = polygon[(j + 1) % polygon.size()];
      const double dp = depth(p), dq = depth(q);
      if (dp >= 0) kept.push_back(p);
      if ((dp >= 0) != (dq >= 0)) kept.push_back(p + (q - p) * (dp / (dp - dq)));
    }
    polygon = kept;
  }
  return polygon;
}

double Inset(int a, int b) { return TablePairs(a, b) ? kTouchingInset : kApartInset; }

// How much of the triangles around it a vertex takes: a knot of leading less than a piece.
double Share(int v) { return v < kPieces ? 1.0 : kKnotShare; }

// Where the edge from a to b is divided between them, by their shares.
SPoint Split(int a, int b, const std::vector<SPoint>& points) {
  const double toB = Share(a) / (Share(a) + Share(b));
  return points[size_t(a)] + (points[size_t(b)] - points[size_t(a)]) * toB;
}

// The sectors around a piece's vertex, in order: its share of each triangle holding it, cut
// from the points that divide its two edges to a point amid the three edges' division points
// (a piece meeting a piece at the middle of their edge).
std::vector<SSector> Sectors(int v, const STriangulation& mesh, const std::vector<SPoint>& points) {
  const SPoint centre = points[size_t(v)];
  std::vector<int> around(mesh.adjacent[size_t(v)].begin(), mesh.adjacent[size_t(v)].end());
  auto angle = [&](int n) { return std::atan2(points[size_t(n)].y - centre.y, points[size_t(n)].x - centre.x); };
  std::sort(around.begin(), around.end(), [&](int a, int b) { return angle(a) < angle(b); });

  std::vector<SSector> sectors;
  for (size_t i = 0; i < around.size(); ++i) {
    const int a = around[i], b = around[(i + 1) % around.size()];
    if (!mesh.adjacent[size_t(a)].count(b)) throw SFailure("the triangulation has a face that is not a triangle");
    const SPoint towardA = Split(v, a, points), towardB = Split(v, b, points);
    const SPoint middle = (towardA + towardB + Split(a, b, points)) * (1.0 / 3);
    sectors.push_back({{centre, towardA, middle, towardB}, {0, Inset(v, a), Inset(v, b), 0}});
  }
  return sectors;
}

// The piece's outline: the sectors' cut polygons joined around the vertex. Each cut sector
// starts at the vertex; its other corners, sector after sector, trace the union's edge.
std::vector<SPoint> PieceOutline(int v, const STriangulation& mesh, const std::vector<SPoint>& points) {
  std::vector<SPoint> outline;
  for (const SSector& sector : Sectors(v, mesh, points)) {
    std::vector<SPoint> cut = CutLeading(sector);
    const SPoint centre = points[size_t(v)];
    auto start = std::find_if(cut.begin(), cut.end(), [&](SPoint p) { return std::hypot(p.x - centre.x, p.y - centre.y) < 1e-9; });
    if (start == cut.end() || cut.size() < 3)
      throw SFailure("piece " + std::to_string(v + 1) + " is too small for its leading");
    std::rotate(cut.begin(), start, cut.end());
    outline.insert(outline.end(), cut.begin() + 1, cut.end());
  }
  return outline;
}

int PowerOfTwoAbove(double size) {
  int side = 16;
  while (side < size) side *= 2;
  return side;
}

std::string Points(const std::vector<SPoint>& outline, SPoint origin) {
  std::ostringstream text;
  text.precision(1);
  text << std::fixed;
  for (const SPoint& p : outline) text << ' ' << p.x - origin.x << ' ' << p.y - origin.y;
  return text.str();
}

// A bare glass colour of the house's cream, varied a little from piece to piece.
std::string GlassColour(int piece) {
  const unsigned hash = unsigned(piece) * 2654435761u;
  const int shift = int(hash >> 28) - 8;
  char colour[8];
  std::snprintf(colour, sizeof colour, "#%02x%02x%02x", 216 + shift, 204 + shift, 176 + shift / 2);
  return colour;
}

// ---------------------------------------------------------------------------------------------
// The files.

std::string ReadText(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw SFailure(path + ": cannot be read");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::trunc);
  file << text;
  if (!file) throw SFailure(path.string() + ": cannot be written");
}

struct SPiece {
  std::vector<SPoint> outline;
  int x = 0, y = 0, width = 0, height = 0;  // its layout box: centre and size in pixels
};

SPiece MakePiece(int v, const STriangulation& mesh, const std::vector<SPoint>& points) {
  SPiece piece;
  piece.outline = PieceOutline(v, mesh, points);
  piece.x = int(std::lround(points[size_t(v)].x));
  piece.y = int(std::lround(points[size_t(v)].y));
  double reachX = 0, reachY = 0;
  for (const SPoint& p : piece.outline) {
    reachX = std::max(reachX, std::fabs(p.x - piece.x));
    reachY = std::max(reachY, std::fabs(p.y - piece.y));
  }
  piece.width = PowerOfTwoAbove(2 * reachX + 4);
  piece.height = PowerOfTwoAbove(2 * reachY + 4);
  return piece;
}

std::string PieceArt(const SPiece& piece) {
  const SPoint origin{piece.x - piece.width / 2.0, piece.y - piece.height / 2.0};
  return "# A piece of the paint puzzle's mosaic, made by the mosaic tool: white, tinted by the\n"
         "# puzzle with the paint it is given.\n"
         "canvas " + std::to_string(piece.width) + " " + std::to_string(piece.height) + "\n" +
         "fill #ffffff\npolygon" + Points(piece.outline, origin) + "\n";
}

std::string BackgroundArt(const std::string& templateText, const std::vector<SPiece>& pieces) {
  std::ostringstream art;
  art << templateText << "# The window, by the mosaic tool: the leading, then the bare glass.\n"
      << "shadow none\nfill #2c2a2e\nellipse " << kCentreX << ' ' << kCentreY << ' ' << kRimX + 6 << ' '
      << kRimY + 6 << '\n';
  for (size_t k = 0; k < pieces.size(); ++k)
    art << "fill " << GlassColour(int(k) + 1) << "\npolygon" << Points(pieces[k].outline, {0, 0}) << '\n';
  art << "grain 0.05 11\n";
  return art.str();
}

// The template's statements, its picture folders made relative to OUT_DIR, with the
// background and the pieces after its "layout" line.
std::string LayoutDescription(const std::string& templatePath, const fs::path& outDir,
                              const std::vector<SPiece>& pieces) {
  const fs::path templateDir = fs::absolute(templatePath).parent_path();
  std::istringstream lines(ReadText(templatePath));
  std::ostringstream out;
  out << "# Made by the mosaic tool from " << templatePath << ".\n";
  bool placed = false;
  bool layoutSeen = false;
  std::string pictures;  // the template's picture folder, as seen from OUT_DIR
  auto placePieces = [&] {
    placed = true;
    out << "pictures .\nbackground Background.art\n";
    for (size_t k = 0; k < pieces.size(); ++k)
      out << "sprite root/" << k + 1 << ' ' << pieces[k].x << ' ' << pieces[k].y << ' ' << pieces[k].width << ' '
          << pieces[k].height << " hidden Piece" << k + 1 << ".art\n";
    out << pictures;
  };
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("pictures ", 0) == 0) {
      const fs::path folder = fs::absolute(templateDir / line.substr(9)).lexically_normal();
      pictures = "pictures " + fs::relative(folder, fs::absolute(outDir)).generic_string() + "\n";
      out << pictures;
      continue;
    }
    // The pieces go right after the "layout" statement and the "textures" prefix that may
    // follow it, so they take the layout's texture names.
    if (layoutSeen && !placed && line.rfind("textures ", 0) != 0) placePieces();
    out << line << '\n';
    if (line.rfind("layout ", 0) == 0) layoutSeen = true;
  }
  if (layoutSeen && !placed) placePieces();
  if (!placed) throw SFailure(templatePath + ": no \"layout\" statement to put the pieces in");
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: mosaic LAYOUT_TEMPLATE BACKGROUND_TEMPLATE OUT_DIR\n";
    return 2;
  }
  try {
    const fs::path outDir = argv[3];
    fs::create_directories(outDir);
    const STriangulation mesh = BestTriangulation();
    const std::vector<SPoint> points = PlaceVertices(mesh, true);
    std::vector<SPiece> pieces;
    for (int v = 0; v < kPieces; ++v) pieces.push_back(MakePiece(v, mesh, points));
    for (int v = 0; v < kPieces; ++v) WriteText(outDir / ("Piece" + std::to_string(v + 1) + ".art"), PieceArt(pieces[size_t(v)]));
    WriteText(outDir / "Background.art", BackgroundArt(ReadText(argv[2]), pieces));
    WriteText(outDir / "Game04.txt", LayoutDescription(argv[1], outDir, pieces));
  } catch (const std::exception& failure) {
    std::cerr << "mosaic: " << failure.what() << '\n';
    return 1;
  }
  return 0;
}
