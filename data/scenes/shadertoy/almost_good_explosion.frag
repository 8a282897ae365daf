#version 420
// An almost good explosion, every eight beats: a flash, a shock ring racing
// out, and a churning fireball that swells, cools from yellow to red and
// ends as dark smoke. The churn is the noise picture and a swirl,
// stretched with the ball so it grows with it.
uniform float iTime;
uniform vec2 iResolution;
uniform sampler2D iChannel0;
in vec2 uv;
out vec4 FragColor;

vec3 fire(float heat)
{
    heat = clamp(heat, 0.0, 1.0);
    float square = heat * heat;
    return vec3(1.2 * heat, 0.95 * square, 0.7 * square * square);
}

void main()
{
    float aspect = iResolution.y > 0.5 ? iResolution.x / iResolution.y : 16.0 / 9.0;
    vec2 p = vec2((uv.x * 2.0 - 1.0) * aspect, uv.y * 2.0 - 1.0);
    const float period = 8.0;
    float t = mod(iTime, period);  // beats since the blast
    float cycle = floor(iTime / period);

    float radius = 0.9 * (1.0 - exp(-0.9 * t)) + 0.02;
    float r = length(p);
    vec2 churn = p / radius * 3.0 + vec2(cycle * 37.0, t * 0.6);
    float swirl = 0.5 + 0.5 * sin(churn.x * 2.3 + 1.9 * sin(churn.y * 2.1));
    float n = 0.7 * texture(iChannel0, churn / 256.0).r + 0.3 * swirl;
    float d = r / radius + (n - 0.5) * 0.7;  // below 1 inside the ball

    float cool = exp(-0.3 * t);
    float heat = clamp((1.0 - d) * 2.0, 0.0, 1.0) * (0.5 + 0.7 * n) * cool;
    float body = 1.0 - smoothstep(0.85, 1.1, d);
    vec3 smoke = vec3(0.22, 0.18, 0.16) * (0.4 + 0.6 * n);

    vec3 colour = mix(vec3(0.03, 0.03, 0.05), vec3(0.1, 0.08, 0.1), uv.y);
    colour = mix(colour, mix(smoke, fire(heat * 1.4), clamp(heat * 2.5, 0.0, 1.0)), body);

    float shock = 2.2 * sqrt(t / period);
    colour += vec3(0.6, 0.7, 0.9) * exp(-abs(r - shock) * 30.0) * (1.0 - t / period) * 0.6;
    colour += vec3(1.0, 0.85, 0.6) * exp(-6.0 * t) * 0.5 / (r * r * 3.0 + 1.0);
    FragColor = vec4(min(colour, vec3(0.97)), 1.0);
}
