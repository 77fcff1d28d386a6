struct V { float4 p : POSITION; };
float4 PS() : COLOR { return 1; }
[maxvertexcount(4)] void GS(point V i[1], inout TriangleStream<V> s) { }
[numthreads(8, 8, 1)] void CS() { [unroll] for (int k = 0; k < 2; ++k) { } }
Technique Simple { Pass P0 { PixelShader = compile ps_2_0 PS(); } PASS { } }
TECHNIQUE Loud { pass { PixelShader = ASM { ps_2_0 mov oC0, c0 }; } }
