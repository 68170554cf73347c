// Keeps the support library non-empty; the doubles are header-only so far.
namespace vela::test {
int supportLinked = 1;
}
